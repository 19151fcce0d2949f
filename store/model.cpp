#include "store/model.h"

namespace {

QString fit16(const QString& text)
{
    if (text.size() >= Name16::Length)
        return text.left(Name16::Length);
    return text.leftJustified(Name16::Length, QLatin1Char(' '));
}

} // namespace

Name16::Name16() : m_text(Length, QLatin1Char(' ')) {}

Name16::Name16(const QString& text) : m_text(fit16(text)) {}

Name16::Name16(const char* text) : m_text(fit16(QString::fromLatin1(text))) {}

Name16& Name16::operator=(const QString& text)
{
    m_text = fit16(text);
    return *this;
}

Name16& Name16::operator=(const char* text)
{
    m_text = fit16(QString::fromLatin1(text));
    return *this;
}

QString Name16::trimmed() const
{
    int n = m_text.size();
    while (n > 0 && m_text.at(n - 1) == QLatin1Char(' '))
        --n;
    return m_text.left(n);
}

ParameterModel::ParameterModel()
{
    SetDefaultParameters(*this);
}

ParameterModel& Model()
{
    static ParameterModel model;
    return model;
}

WorkingGlobals& Working()
{
    static WorkingGlobals globals;
    return globals;
}

void SetDefaultParameters(ParameterModel& model)
{
    for (int n = 1; n <= MaxProcesses; ++n) {
        ProcessRecord& p = model.ProcessTable[n];
        p.Process_Name = QStringLiteral("Process %1").arg(n);
        p.First_Layer = -1;
        p.Number_Layers = 0;
        p.Number_Act_Layers = 0;
    }
    for (int n = 1; n <= MaxLayers; ++n) {
        LayerRecord& l = model.LayerTable[n];
        l.Layer_Free = 1;
        l.Film_Number = -1;
        l.Next_Layer = -1;
        l.CoDep_Layer = -1;
        l.Start_Mode = 1;
        l.Max_Power1 = 25.0;
        l.Slew_Rate1 = 25.0;
        l.Output_Number = 1;
        l.Sensor1 = 1;
        l.Sensor2 = 0;
        l.Sensor3 = 0;
        l.Sensor4 = 0;
    }
    for (int n = 1; n <= MaxFilms; ++n) {
        FilmRecord f; // every film field has its default in the record itself
        f.Film_Name = QStringLiteral("Film %1").arg(n);
        model.FilmTable[n] = f;
    }
    for (int n = 1; n <= MaxMaterials; ++n) {
        MaterialRecord& m = model.MaterialTable[n];
        m.Material = QStringLiteral("Material %1").arg(n);
        m.Density = 1.0;
        m.ZFactor = 1.0;
    }
    model.SystemParams = SystemRecord{};
    for (auto& in : model.InputTable)
        in.Input_Type = 1;
    for (auto& out : model.OutputTable)
        out.Output_Type = 1;
}

void SetDefaultParameters()
{
    SetDefaultParameters(Model());
}

bool IsLayerFree(const LayerRecord& layer)
{
    return layer.Film_Number == -1 && layer.Next_Layer == -1 && layer.CoDep_Layer == -1;
}

int FindFreeLayer(const ParameterModel& model)
{
    for (int n = 1; n <= MaxLayers; ++n) {
        if (IsLayerFree(model.LayerTable[n]))
            return n;
    }
    return NoFreeLayer;
}

ProcessWalk::ProcessWalk(int firstLayer, int numberActLayers, WalkLoops loops)
    : m_remaining(numberActLayers > 0 ? numberActLayers : 0), m_slot(firstLayer), m_loops(loops)
{
    check();
}

bool ProcessWalk::atEnd() const
{
    return m_remaining == 0 || m_error != WalkError::None;
}

WalkStep ProcessWalk::current() const
{
    return WalkStep{m_slot, m_position, m_coDep};
}

void ProcessWalk::advance(int nextLayer, int coDepLayer)
{
    if (atEnd())
        return;
    m_seen[static_cast<std::size_t>(m_slot)] = 1;
    --m_remaining;
    ++m_position;
    m_coDep = nextLayer <= 0;
    m_slot = m_coDep ? coDepLayer : nextLayer;
    check();
}

// Validates the slot about to be visited, only while steps remain: the links
// of the last visited slot are never followed.
void ProcessWalk::check()
{
    if (m_remaining == 0)
        return;
    if (m_slot < 1 || m_slot > MaxLayers) {
        m_error = WalkError::OutOfRange;
        m_badSlot = m_slot;
    } else if (m_seen[static_cast<std::size_t>(m_slot)]) {
        if (m_repeated == 0)
            m_repeated = m_slot;
        if (m_loops == WalkLoops::Stop) {
            m_error = WalkError::Cycle;
            m_badSlot = m_slot;
        }
    }
}

WalkResult WalkProcess(const ParameterModel& model, int process, WalkLoops loops)
{
    WalkResult result;
    if (process < 1 || process > MaxProcesses)
        return result;
    const ProcessRecord& p = model.ProcessTable[process];
    ProcessWalk walk(p.First_Layer, p.Number_Act_Layers, loops);
    while (!walk.atEnd()) {
        const WalkStep step = walk.current();
        result.steps.push_back(step);
        const LayerRecord& l = model.LayerTable[step.slot];
        walk.advance(l.Next_Layer, l.CoDep_Layer);
    }
    result.error = walk.error();
    result.badSlot = walk.badSlot();
    result.repeatedSlot = walk.repeatedSlot();
    return result;
}
