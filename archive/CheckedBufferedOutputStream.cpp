#include "CheckedBufferedOutputStream.h"

CheckedBufferedOutputStream::CheckedBufferedOutputStream (juce::OutputStream& destinationToUse, size_t bufferSize)
    : destination (destinationToUse),
      buffer (bufferSize),
      capacity (bufferSize),
      bufferStart (destinationToUse.getPosition())
{
    jassert (bufferSize > 0);
}

bool CheckedBufferedOutputStream::writeBuffer()
{
    if (failed)
        return false;

    if (used > 0 && ! destination.write (buffer, used))
        failed = true;

    // After a seek back inside the buffer the logical position lies before its end.
    const auto position = bufferStart + (juce::int64) cursor;
    if (! failed && cursor != used && ! destination.setPosition (position))
        failed = true;

    bufferStart = position;
    used = cursor = 0;
    return ! failed;
}

void CheckedBufferedOutputStream::flush()
{
    // The destination's own flush reports nothing; its owner checks its status.
    if (writeBuffer())
        destination.flush();
}

bool CheckedBufferedOutputStream::setPosition (juce::int64 newPosition)
{
    if (failed)
        return false;

    if (newPosition >= bufferStart && newPosition <= bufferStart + (juce::int64) used)
    {
        cursor = (size_t) (newPosition - bufferStart);
        return true;
    }

    if (! writeBuffer())
        return false;

    if (! destination.setPosition (newPosition))
        return ! (failed = true);

    bufferStart = newPosition;
    return true;
}

juce::int64 CheckedBufferedOutputStream::getPosition()
{
    return bufferStart + (juce::int64) cursor;
}

bool CheckedBufferedOutputStream::write (const void* data, size_t numBytes)
{
    auto* source = static_cast<const char*> (data);

    while (numBytes > 0)
    {
        if (failed || (cursor == capacity && ! writeBuffer()))
            return false;

        const auto chunk = juce::jmin (numBytes, capacity - cursor);
        std::memcpy (buffer + cursor, source, chunk);
        cursor += chunk;
        used = juce::jmax (used, cursor);
        source += chunk;
        numBytes -= chunk;
    }

    return ! failed;
}
