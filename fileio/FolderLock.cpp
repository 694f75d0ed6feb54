#include "FolderLock.h"

juce::Result FolderLock::acquire (const juce::File& folder, const std::function<void()>& onWait,
                                  const std::atomic<bool>* cancel)
{
    if (auto opened = openChain (folder); opened.failed())
    {
        chain.clear();
        return opened;
    }

    bool waited = false;
    for (const auto& held : chain)
        if (auto locked = lock (held.folder, held.operation, onWait, waited, cancel); locked.failed())
        {
            chain.clear();
            return locked;
        }
    return juce::Result::ok();
}
