#include "check/live_run.h"

#include "analysis/mm_solver.h"
#include "check/member_check.h"
#include "input/error.h"
#include "member/member_input.h"
#include "input/numbers.h"
#include "section/mesh.h"
#include "section/section_from_fields.h"

namespace px {

CheckSection ReadCheckSection(const FieldSource& fields, const SectionInput& base,
                              const std::atomic<bool>* cancel) {
    CheckSection s;
    ReadCheckSectionInto(fields, base, s, cancel);
    return s;
}

void ReadCheckSectionInto(const FieldSource& fields, const SectionInput& base, CheckSection& s,
                          const std::atomic<bool>* cancel) {
    s.input = base;
    {
        const MeshCancelScope scope(cancel);  // a fine mesh takes long: stop it for a run no one waits for
        MeshSectionFromFields(fields, s.input, s.fibers);
    }
    ThrowIfCancelled(cancel);
    CheckFiberMaterials(s.fibers);
    s.mm = ReadMmSettings(fields);
    CheckMmSettings(s.mm);
    ComputeAxialBounds(s.fibers, s.PMax, s.PMin);
}

LiveResults RunLive(const LiveInputs& in, const std::atomic<bool>& cancel) {
    LiveResults r;
    r.checkKey = in.checkKey;
    r.surfaceKey = in.surfaceKey;
    try {
        ThrowIfCancelled(&cancel);
        const CheckSection s = ReadCheckSection(in.fields, in.base, &cancel);
        const int levels = in.fields.integer("Edit65");
        CheckAxialLevels(levels, s.mm.points);
        SolveOptions o;
        o.cancel = &cancel;
        if (in.loads.Count >= 1) {
            CheckRequest req{s.request(), &in.loads, in.factorP, in.factorMx, in.factorMy};
            req.Member = MemberForCheck(ReadMemberInput(in.fields, true), s.mm);
            r.check = RunCapacityCheck(req, {}, o);
        }
        r.surface = SolveSurface(SurfaceRequest{s.request(), levels}, {}, o);
        ThrowIfCancelled(&cancel);
    } catch (const Cancelled&) {
        throw;
    } catch (const std::exception& e) {
        r.check.reset();
        r.surface = {};
        r.error = e.what();
    }
    return r;
}

}  // namespace px
