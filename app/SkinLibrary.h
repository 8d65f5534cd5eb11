#pragma once
// The start-up of the skinning component library linked into the program:
// its "/acver" version box and the registration of its graphic class
// TPNGGraphic, under which the banner picture is stored.
#include <string>
#include <vector>

namespace SkinLibrary {
// Runs before the program's own start-up sequence.
void Initialize(const std::vector<std::wstring>& arguments, const std::wstring& defaultTitle);
// Removes what Initialize registered (at shutdown).
void Finalize();
}  // namespace SkinLibrary
