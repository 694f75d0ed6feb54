#pragma once

/** The fixed texts that the panel shows and the run compares against. */
namespace BatchTexts
{
    inline constexpr const char* replaceOperation = "replace string";
    inline constexpr const char* convertOperation = "convert value";
    inline constexpr const char* restoreOperation = "restore backup";
    inline constexpr const char* folderScope = "files in folder";
    inline constexpr const char* recursiveScope = "files in folder and subfolders";

}
