#pragma once
// The eight meshers and the dispatch by section type.
#include <atomic>
#include <string>

#include "input/section_input.h"
#include "section/fiber.h"

namespace px {

inline constexpr long long kMaxFibers = 1000000;
// Most layers the cover band or a steel wall may be cut into ("Cover Layers").
inline constexpr int kMaxCoverLayers = 100;

// Fiber count of the chosen type's closed formula (64-bit, may exceed int).
long long FiberCount(const SectionInput& in);

// Refuses counts that would leave a drawn part without fibers or a circle
// with fewer than 4 sectors (bar counts may be 0), naming the field's
// caption for that type and the limit, and meshes of more than kMaxFibers
// fibers (giving the count), and cover layers outside 1..kMaxCoverLayers.
// Throws AppError; changes nothing.
void CheckMeshInput(const SectionInput& in);

// CheckMeshInput, then the mesher of in.SectionType and, for the eight
// templates, the points where its strain limits apply (in.StrainLimitsAt);
// other values leave the table as it is.
// "Custom Section" (type 9) meshes its loaded section with "Mesh Size".
void BuildFiberTable(const SectionInput& in, FiberTable& t);

// While one lives on a thread, every mesher on that thread gives up with
// Cancelled once `cancel` is set (looked at every 4096 fibers), leaving the
// table half written: a background run that no one waits for any more stops
// meshing a fine section. Scopes nest; a null flag cancels nothing.
class MeshCancelScope {
public:
    explicit MeshCancelScope(const std::atomic<bool>* cancel);
    ~MeshCancelScope();
    MeshCancelScope(const MeshCancelScope&) = delete;
    MeshCancelScope& operator=(const MeshCancelScope&) = delete;

private:
    const std::atomic<bool>* previous_;
};

void MeshRectColumn(const SectionInput& in, FiberTable& t);
void MeshCircularColumn(const SectionInput& in, FiberTable& t);
void MeshRectSrcType1(const SectionInput& in, FiberTable& t);
void MeshRectSrcType2(const SectionInput& in, FiberTable& t);
void MeshCircularSteelTube(const SectionInput& in, FiberTable& t);
void MeshRectSteelBox(const SectionInput& in, FiberTable& t);
void MeshCircularSrc(const SectionInput& in, FiberTable& t);
void MeshSteelTubeInRect(const SectionInput& in, FiberTable& t);

}  // namespace px
