# A copy of Debian's juce_gui_basics (JUCE 7.0.5) for the Windows build,
# with three mends to its Windows window peer; the copy's folder comes first
# on juce_base's include path, so every program reads the same headers.
#
# The peer hands its repaints to Windows only when a thread that waits for
# the display's vertical blank says so, and:
# - CreateDXGIFactory can fail (it did under Wine on a busy machine): the
#   code then called through the null factory, and the window crashed
#   before it showed;
# - WaitForVBlank can fail every time (a stub under Wine, and some remote
#   and virtual displays): the thread then never asked, and the window
#   stayed as first painted, whatever was typed or run;
# - a window on a monitor that no DXGI output serves had no such thread at
#   all, with the same result.
# Mended: no factory means no adapters; a failing wait still asks about 60
# times a second; a window that no thread serves repaints at once.
#
# Sets QUILLMERE_JUCE_MENDED_MODULES_DIR, the folder of the copy.

set(QUILLMERE_JUCE_MENDED_MODULES_DIR ${PROJECT_BINARY_DIR}/juce-modules)
set(windowing juce_gui_basics/native/juce_win32_Windowing.cpp)
file(COPY ${QUILLMERE_JUCE_MODULES_DIR}/juce_gui_basics DESTINATION ${QUILLMERE_JUCE_MENDED_MODULES_DIR}
     PATTERN juce_win32_Windowing.cpp EXCLUDE)
file(READ ${QUILLMERE_JUCE_MODULES_DIR}/${windowing} windowing_source)

# Replaces ORIGINAL, which must occur exactly once, by MENDED: a JUCE
# other than the one these mends were written for stops the build here.
function(quillmere_mend_juce original mended)
    string(FIND "${windowing_source}" "${original}" first)
    string(FIND "${windowing_source}" "${original}" last REVERSE)
    if(first EQUAL -1 OR NOT first EQUAL last)
        message(FATAL_ERROR "${windowing} is not the one cmake/JuceMends.cmake mends: look for\n${original}")
    endif()
    string(REPLACE "${original}" "${mended}" windowing_source "${windowing_source}")
    set(windowing_source "${windowing_source}" PARENT_SCOPE)
endfunction()

quillmere_mend_juce(
    [=[while (factory->EnumAdapters (i, adapter.resetAndGetPointerAddress()) != DXGI_ERROR_NOT_FOUND)]=]
    [=[while (factory != nullptr && factory->EnumAdapters (i, adapter.resetAndGetPointerAddress()) != DXGI_ERROR_NOT_FOUND)]=])

quillmere_mend_juce(
    [=[            if (output->WaitForVBlank() == S_OK)
                triggerAsyncUpdate();
            else
                Thread::sleep (1);]=]
    [=[            if (output->WaitForVBlank() != S_OK)
                Thread::sleep (16);

            triggerAsyncUpdate();]=])

quillmere_mend_juce(
    [=[    void removeListener (const VBlankListener& listener)
    {
        for (auto it = threads.begin(); it != threads.end(); ++it)]=]
    [=[    bool isServing (const VBlankListener& listener) const
    {
        return std::any_of (threads.cbegin(), threads.cend(), [&listener] (const auto& thread) { return thread->hasListener (listener); });
    }

    void removeListener (const VBlankListener& listener)
    {
        for (auto it = threads.begin(); it != threads.end(); ++it)]=])

quillmere_mend_juce(
    [=[        deferredRepaints.add ((area.toDouble() * getPlatformScaleFactor()).getSmallestIntegerContainer());
    }]=]
    [=[        deferredRepaints.add ((area.toDouble() * getPlatformScaleFactor()).getSmallestIntegerContainer());

        auto* dispatcher = VBlankDispatcher::getInstanceWithoutCreating();

        if (dispatcher == nullptr || ! dispatcher->isServing (*this))
            dispatchDeferredRepaints();
    }]=])

# Written only when it changed, so that a new configure does not rebuild JUCE.
file(WRITE ${PROJECT_BINARY_DIR}/juce-mending/juce_win32_Windowing.cpp "${windowing_source}")
configure_file(${PROJECT_BINARY_DIR}/juce-mending/juce_win32_Windowing.cpp
               ${QUILLMERE_JUCE_MENDED_MODULES_DIR}/${windowing} COPYONLY)
