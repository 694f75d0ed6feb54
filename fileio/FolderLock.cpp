#include "FolderLock.h"

juce::Result FolderLock::lock (const FileDescriptor& descriptor, int operation, const std::function<void()>& onWait,
                               bool& waited, const std::atomic<bool>* cancel)
{
    // Polled rather than blocking, so that a cancel is seen while waiting.
    for (;;)
    {
        switch (tryLock (descriptor, operation))
        {
            case Attempt::taken: return juce::Result::ok();
            case Attempt::failed: return juce::Result::fail ("cannot lock the folder (" + FileDescriptor::lastError() + ")");
            case Attempt::busy: break;
        }
        if (! waited && onWait)
            onWait();
        waited = true;
        if (cancel != nullptr && cancel->load())
            return juce::Result::fail ("cancelled");
        juce::Thread::sleep (20);
    }
}

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
