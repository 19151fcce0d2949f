#ifndef DCX_TESTS_PROCESS_PROCESSFIXTURE_H
#define DCX_TESTS_PROCESS_PROCESSFIXTURE_H

// A small parameter set written out by hand, shared by the process tests:
//   process 1 "Optic": group (10 on output 2, partner 11 on output 3), then 12;
//   process 2 "Empty": no layers;
//   process 3 "Three": group (20, partners 21, 22), then 23;
//   process 4 "Single": layer 30 alone.
// Films are named "Film<n>".
#include "store/model.h"

#include <vector>

namespace proctest {

struct L {
    int slot, film, next, codep, output = 1;
};

inline void link(ParameterModel& m, int process, const char* name, int first, int groups, int layers,
                 const std::vector<L>& members)
{
    m.ProcessTable[size_t(process)] = {Name16(name), qint16(groups), qint16(first), qint16(layers)};
    for (const L& l : members) {
        LayerRecord& r = m.LayerTable[size_t(l.slot)];
        r.Layer_Free = 0;
        r.Film_Number = qint16(l.film);
        r.Next_Layer = qint16(l.next);
        r.CoDep_Layer = qint16(l.codep);
        r.Output_Number = qint16(l.output);
    }
}

inline ParameterModel sampleModel()
{
    ParameterModel m;
    for (int f = 1; f <= MaxFilms; ++f)
        m.FilmTable[size_t(f)].Film_Name = QStringLiteral("Film%1").arg(f);
    for (int p = 1; p <= MaxProcesses; ++p)
        m.ProcessTable[size_t(p)].Process_Name = QStringLiteral("Proc%1").arg(p);
    link(m, 1, "Optic", 10, 2, 3, {{10, 3, -1, 11, 2}, {11, 4, 12, -1, 3}, {12, 5, -1, -1, 1}});
    link(m, 2, "Empty", -1, 0, 0, {});
    link(m, 3, "Three", 20, 2, 4,
         {{20, 1, -1, 21, 1}, {21, 2, -1, 22, 2}, {22, 3, 23, -1, 3}, {23, 4, -1, -1, 4}});
    link(m, 4, "Single", 30, 1, 1, {{30, 6, -1, -1, 1}});
    return m;
}

} // namespace proctest

#endif
