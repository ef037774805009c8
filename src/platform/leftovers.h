#pragma once
// Clearing away what a killed writer left: the temporary files of the program's
// own folders, at start-up (writes clear their own folder anyway).
namespace platform {

// The data folder (the wallpaper), the settings folder, the autostart folder and
// the packs folders. Returns how many files were removed.
int RemoveStaleTemporaryFilesAtStart();

} // namespace platform
