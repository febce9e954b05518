#include "validation/member_validation.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "analysis/mm_solver.h"
#include "analysis/parallel_jobs.h"
#include "analysis/section_steps.h"
#include "codes/aisc360.h"
#include "codes/en1994.h"
#include "input/error.h"
#include "input/fields.h"
#include "section/section_from_fields.h"

namespace px::validation {

bool MemberInScope(const Specimen& s) {
    return s.Refused.empty() && s.K != Kind::Beam &&
           (s.OutOfScope == "slender" || s.OutOfScope == "unequal end eccentricities");
}

double EndEccentricityRatio(double et, double eb) {
    const double a = std::fabs(et), b = std::fabs(eb), big = std::max(a, b);
    if (!(big > 0)) return 1;
    const double r = std::min(a, b) / big;
    return et * eb < 0 ? -r : r;
}

const char* MemberGroupName(const Specimen& s) {
    if (s.OutOfScope == "unequal end eccentricities") return "beam-columns, unequal end eccentricities";
    return s.K == Kind::Stub ? "slender columns" : "slender beam-columns";
}

SectionParts PartsOf(const FiberTable& t, bool strong, bool concreteUnderSteel) {
    SectionParts p;
    for (int i = 1; i <= t.NFib; ++i) {
        const Fiber& f = t[i];
        const double d = strong ? f.Y : f.X, a = f.Area, i2 = a * d * d;
        switch (f.MatId) {
            case MatSteelSection: p.Aa += a; p.Ia += i2; break;
            case MatRebar: p.As += a; p.Is += i2; break;
            case MatDeductedConcrete1: p.Ac -= a; p.Ic -= i2; break;
            default: p.Ac += a; p.Ic += i2; break;
        }
    }
    if (concreteUnderSteel) {
        p.Ac -= p.Aa + p.As;
        p.Ic -= p.Ia + p.Is;
    }
    return p;
}

double En1994ColumnStrength(const Specimen& s, const SectionParts& p) {
    namespace en = codes::en1994;
    try {
        en::Section sec;
        sec.Aa = p.Aa;
        sec.Fy = s.Fy;
        sec.Ac = p.Ac;
        sec.Fck = s.Fc;
        sec.As = p.As;
        sec.Fsk = s.FyBar;
        sec.Filled = s.Fam != Family::SRC;
        const double nplRk = en::NplRk(sec);
        const double ncr = en::Ncr(en::EIeff(p.Ia, p.Is, en::Ecm(s.Fc), p.Ic), s.L);
        const en::Curve curve =
            sec.Filled ? en::FilledTubeCurve(p.Ac > 0 ? p.As / p.Ac : 0) : en::EncasedCurve(s.Strong);
        return en::Chi(en::LambdaBar(nplRk, ncr), curve) * nplRk / 1000;
    } catch (const AppError&) {
        return 0;
    }
}

double AiscColumnStrength(const Specimen& s, const SectionParts& p) {
    namespace aisc = codes::aisc360;
    try {
        const double ec = aisc::Ec(s.Fc), ag = p.Aa + p.As + p.Ac;
        double pno = 0, c = 0;
        if (s.Fam == Family::SRC) {
            pno = aisc::PnoEncased(s.Fy, p.Aa, s.FyBar, p.As, s.Fc, p.Ac);
            c = aisc::C1(p.Aa, p.As, ag);
        } else {
            aisc::Filled f;
            f.Shape = s.Fam == Family::CCFT ? aisc::Wall::Round : aisc::Wall::Rectangular;
            f.Lambda = s.Fam == Family::CCFT ? s.H / s.t : aisc::RectWallSlenderness(std::max(s.B, s.H), s.t);
            f.Fy = s.Fy;
            f.As = p.Aa;
            f.Fc = s.Fc;
            f.Ac = p.Ac;
            f.Ec = ec;
            f.Asr = p.As;
            pno = aisc::PnoFilled(f);
            c = aisc::C3(p.Aa, p.As, ag);
        }
        const double pe = aisc::Pe(aisc::EIeff(p.Ia, p.Is, c, ec, p.Ic), s.L);
        return aisc::Pn(pno, pe) / 1000;
    } catch (const AppError&) {
        return 0;
    }
}

MemberPrediction PredictMember(const Specimen& s, const RunSettings& settings) {
    MemberPrediction r;
    try {
        RunSettings coarse = settings;
        coarse.Mesh = std::min(settings.Mesh, kMemberMesh);
        MapFields fields = DefaultFields();
        int item = 0;
        for (const auto& [name, text] : SpecimenFields(s, coarse, item)) fields[name] = text;
        fields.items["ComboBox1"] = item;
        SectionInput in;
        FiberTable t;
        MeshSectionFromFields(fields, in, t);
        CheckFiberMaterials(t);
        double PMax = 0, PMin = 0;
        ComputeAxialBounds(t, PMax, PMin);
        r.Squash = PMax;

        MemberSettings ms;
        ms.length = s.L;
        ms.bow = kMemberBow;
        ms.segments = 40;
        ms.curvatureSteps = 60;
        const double angle = s.Strong ? 0 : 90;
        const double depth = s.Strong ? s.H : s.B;
        r.Slenderness = s.L / depth;
        r.EndRatio = EndEccentricityRatio(s.Et, s.Eb);
        const double e2 = std::max(std::fabs(s.Et), std::fabs(s.Eb));
        if (!(s.L > 0)) throw AppError("the member has no length");

        // Holds the member P with its end moments P e2 and r P e2?
        MemberLimit limit = MemberLimit::None;
        auto holds = [&](double P) {
            MphiBranch b;
            try {
                b = SectionBranch(t, in.B, in.H, ms, angle, P);
            } catch (const AxialForceOutOfReach&) {
                return false;
            }
            const MemberPoint p = SolveMemberLimit(b, b, P, s.L, kMemberBow * s.L, r.EndRatio, ms.segments, 1e-4);
            if (p.limit == MemberLimit::Buckled || p.limit == MemberLimit::Unreachable) return false;
            if (!(p.M >= P * e2 / 1000)) return false;
            limit = p.limit;
            return true;
        };
        double lo = 0, hi = PMax;
        MemberLimit atLo = MemberLimit::None;
        while (hi - lo > 1e-3 * PMax) {
            const double mid = 0.5 * (lo + hi);
            if (holds(mid)) {
                lo = mid;
                atLo = limit;
            } else {
                hi = mid;
            }
        }
        r.Value = 0.5 * (lo + hi);
        r.Limit = atLo;
        if (!(lo > 0)) throw AppError("the member holds no axial force");
        r.Ratio = s.Test / r.Value;
        r.Ok = true;
        if (s.K == Kind::Stub) {
            // The parts from the section analysis's finer mesh: the fibers of
            // a tube lie on the chords of its sectors.
            MapFields fine = DefaultFields();
            for (const auto& [name, text] : SpecimenFields(s, settings, item)) fine[name] = text;
            fine.items["ComboBox1"] = item;
            SectionInput fineIn;
            FiberTable fineT;
            MeshSectionFromFields(fine, fineIn, fineT);
            const SectionParts parts = PartsOf(fineT, s.Strong, s.Fam == Family::SRC);
            r.En1994 = En1994ColumnStrength(s, parts);
            r.Aisc = AiscColumnStrength(s, parts);
        }
    } catch (const std::exception& e) {
        r.Error = e.what();
    }
    return r;
}

std::vector<MemberPrediction> PredictMembers(const std::vector<Specimen>& all, const RunSettings& settings) {
    std::vector<MemberPrediction> out(all.size());
    std::vector<std::exception_ptr> errors(all.size());
    const int count = static_cast<int>(all.size());
    RunJobs(
        count, ThreadCountFor(settings.Threads, count),
        [&](int, int k) {
            const Specimen& s = all[static_cast<size_t>(k)];
            if (MemberInScope(s)) out[static_cast<size_t>(k)] = PredictMember(s, settings);
        },
        [](int) {}, errors);
    return out;
}

}  // namespace px::validation
