#pragma once
// The program's compiled-in resources: ":/icons/icon0.png" .. ":/icons/icon9.png"
// (the ten program icons in index order) and ":/builtin/builtin.emf" (the built-in
// picture). Registers them; safe to call more than once.
namespace ambience {
void InitResources();
}
