#pragma once

/** The scope texts that the panel shows and the run compares against. */
namespace BatchTexts
{
    inline constexpr const char* folderScope = "files in folder";
    inline constexpr const char* recursiveScope = "files in folder and subfolders";
}
