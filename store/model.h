#ifndef DCX_STORE_MODEL_H
#define DCX_STORE_MODEL_H

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// The instrument's whole parameter set held in memory: fixed-size tables of
// plain records whose index is the record number used in the database file
// and in the instrument's commands.

// A text field of exactly 16 characters, as the instrument stores names.
// Longer texts keep their first 16 characters, shorter ones are padded with
// blanks on the right.
class Name16 {
public:
    static constexpr int Length = 16;

    Name16();
    Name16(const QString& text); // NOLINT: implicit on purpose, names are assigned from texts
    Name16(const char* text);    // NOLINT
    Name16& operator=(const QString& text);
    Name16& operator=(const char* text);

    // All 16 characters, trailing blanks included.
    const QString& text() const { return m_text; }
    // Without trailing blanks: what is shown and compared.
    QString trimmed() const;

    bool operator==(const Name16& other) const = default;

private:
    QString m_text;
};

struct ProcessRecord {
    Name16 Process_Name;
    qint16 Number_Layers = 0;
    qint16 First_Layer = -1;
    qint16 Number_Act_Layers = 0;

    bool operator==(const ProcessRecord&) const = default;
};

struct LayerRecord {
    double Rate = 0.0;
    double Final_Thick = 0.0;
    qint16 Time_Setpoint = 0;
    double Thick_Limit = 0.0;
    qint16 Output_Number = 1;
    double Max_Power1 = 25.0;
    double Slew_Rate1 = 25.0;
    qint16 Sensor1 = 1;
    qint16 Sensor2 = 0;
    qint16 Sensor3 = 0;
    qint16 Sensor4 = 0;
    double Ramp1_Enabled = 0.0;
    double Ramp1_Start = 0.0;
    double Ramp1_Rate = 0.0;
    qint16 Ramp1_Time = 0;
    double Ramp2_Enabled = 0.0;
    double Ramp2_Start = 0.0;
    double Ramp2_Rate = 0.0;
    qint16 Ramp2_Time = 0;
    qint16 Film_Number = -1;
    qint16 Next_Layer = -1;
    qint16 CoDep_Layer = -1;
    qint16 Start_Mode = 1;
    qint16 Layer_Free = 1;

    bool operator==(const LayerRecord&) const = default;
};

struct FilmRecord {
    Name16 Film_Name;
    double Pterm = 0.0;
    double Iterm = 0.0;
    double Dterm = 0.0;
    qint16 Material_Index = 1;
    qint16 Pocket = 0;
    qint16 Tooling = 100;
    qint16 Crystal_Quality = 0;
    qint16 Crystal_Stability = 0;
    qint16 Crystal_Fail = 0;
    double Ramp1_Power = 0.0;
    qint16 Ramp1_Time = 0;
    double Soak1_Time = 0.0;
    double Ramp2_Power = 0.0;
    qint16 Ramp2_Time = 0;
    double Soak2_Time = 0.0;
    double Idle_Power = 0.0;
    qint16 Idle_Ramp_Time = 0;
    double Feed_Power = 0.0;
    double Feed_Ramp = 0.0;
    qint16 Feed_Time = 0;
    qint16 Shutter_Delay = 0;
    double Capture = 0.0;
    qint16 Control_Error = 0;
    double Control_Error_Percent = 0.0;
    qint16 Sampling = 0;
    double Sample_Accuracy = 0.0;
    qint16 Sample_Hold = 0;
    qint16 Sample_Time = 0;

    bool operator==(const FilmRecord&) const = default;
};

struct MaterialRecord {
    Name16 Material;
    double Density = 1.0;
    double ZFactor = 1.0;

    bool operator==(const MaterialRecord&) const = default;
};

// Field names follow the database columns ("System Tooling" -> System_Tooling).
// Frequencies are held in MHz; the file stores them in Hz.
struct SystemRecord {
    double Period = 0.25;
    qint16 System_Tooling = 100;
    qint16 Xtool1 = 100;
    qint16 Xtool2 = 100;
    qint16 Xtool3 = 100;
    qint16 Xtool4 = 100;
    qint16 Simulate_Mode = 0;
    double Min_Freq = 5.0;
    double Max_Freq = 6.0;
    double Power_Scale_1 = 5.0;
    double Power_Scale_2 = 5.0;
    double Power_Scale_3 = 5.0;
    double Power_Scale_4 = 5.0;

    bool operator==(const SystemRecord&) const = default;
};

struct InputRecord {
    qint16 Input_Type = 1;
    bool operator==(const InputRecord&) const = default;
};

struct OutputRecord {
    qint16 Output_Type = 1;
    bool operator==(const OutputRecord&) const = default;
};

// Table sizes: the largest record number of each table.
constexpr int MaxProcesses = 100;
constexpr int MaxLayers = 1000;
constexpr int MaxFilms = 50;
constexpr int MaxMaterials = 100;
constexpr int MaxInputs = 16;
constexpr int MaxOutputs = 16;
// What the free-slot search yields when every slot is in use.
constexpr int NoFreeLayer = MaxLayers + 1;

// The seven tables. Index = record number, so element 0 of the numbered
// tables is unused; inputs and relays are indexed 0..15 (input n at n-1).
struct ParameterModel {
    std::array<ProcessRecord, MaxProcesses + 1> ProcessTable{};
    std::array<LayerRecord, MaxLayers + 1> LayerTable{};
    std::array<FilmRecord, MaxFilms + 1> FilmTable{};
    std::array<MaterialRecord, MaxMaterials + 1> MaterialTable{};
    SystemRecord SystemParams{};
    std::array<InputRecord, MaxInputs> InputTable{};
    std::array<OutputRecord, MaxOutputs> OutputTable{};

    // A model already reset to the defaults.
    ParameterModel();
    bool operator==(const ParameterModel&) const = default;
};

// The program-wide parameter model.
ParameterModel& Model();

// Record numbers the process window and the editors are working on
// (0 = none chosen yet). DBFileName and DebugDump live in Config().
struct WorkingGlobals {
    qint16 CurProcess = 0;
    qint16 CurLayer = 0;
    qint16 CurFilm = 0;
};
WorkingGlobals& Working();

// Resets the model to its defaults. Layer Rate, Final_Thick, Time_Setpoint,
// Thick_Limit and the ramp fields keep their contents, as the instrument does.
void SetDefaultParameters(ParameterModel& model);
// The same on the program-wide model.
void SetDefaultParameters();

// True when the slot belongs to no process.
bool IsLayerFree(const LayerRecord& layer);

// The first free slot from 1 upwards, NoFreeLayer (1001) when there is none.
int FindFreeLayer(const ParameterModel& model);

// The canonical walk through a process: start at First_Layer and take
// Number_Act_Layers steps; after each slot go on to Next_Layer if it is
// above 0, else to CoDep_Layer. The count alone bounds the walk: a link that
// leads back to a slot already visited visits it again (Follow, what loading,
// saving, the tree and the transfers do), so a looping process still loads
// and saves whole. Callers that want to know about such a loop ask
// repeatedSlot() / WalkResult::loops(), or stop at it with WalkLoops::Stop.
// ProcessWalk is the step-by-step form, for callers that read each slot's
// links as they go (the database load); WalkProcess walks the links held in
// a model.
enum class WalkError {
    None,
    OutOfRange, // a link leaves 1..1000 before the count is reached
    Cycle,      // a slot is reached a second time (only with WalkLoops::Stop)
};

enum class WalkLoops {
    Follow, // visit a repeated slot again; the count ends the walk
    Stop,   // end the walk with WalkError::Cycle at the first repeated slot
};

struct WalkStep {
    int slot = 0;
    int position = 0;   // 1-based place in the walk
    bool coDep = false; // reached through CoDep_Layer: a co-deposition partner
};

class ProcessWalk {
public:
    ProcessWalk(int firstLayer, int numberActLayers, WalkLoops loops = WalkLoops::Follow);

    // True when every step was taken or the walk broke.
    bool atEnd() const;
    // The step about to be visited; only valid while !atEnd() && error() == None.
    WalkStep current() const;
    // After visiting current(): follow that slot's links.
    void advance(int nextLayer, int coDepLayer);
    WalkError error() const { return m_error; }
    // The slot number that broke the walk (out of range or repeated).
    int badSlot() const { return m_badSlot; }
    // The first slot the links led back to (0 while none): the process loops.
    int repeatedSlot() const { return m_repeated; }

private:
    void check();

    int m_remaining;
    int m_slot;
    WalkLoops m_loops;
    int m_position = 1;
    bool m_coDep = false;
    WalkError m_error = WalkError::None;
    int m_badSlot = 0;
    int m_repeated = 0;
    std::array<std::uint8_t, MaxLayers + 1> m_seen{};
};

struct WalkResult {
    std::vector<WalkStep> steps;
    WalkError error = WalkError::None;
    int badSlot = 0;
    int repeatedSlot = 0; // first slot visited twice, 0 when none
    bool ok() const { return error == WalkError::None; }
    bool loops() const { return repeatedSlot != 0; }
};

WalkResult WalkProcess(const ParameterModel& model, int process, WalkLoops loops = WalkLoops::Follow);

#endif
