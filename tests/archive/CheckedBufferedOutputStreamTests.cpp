#include "CheckedBufferedOutputStream.h"
#include "ZipTestSupport.h"

#include <gtest/gtest.h>

namespace
{
    /** The archive writer's pattern: a header, data, a seek back to patch the
        header, a seek to the end, and so on; small and large pieces. */
    void writePattern (juce::OutputStream& out)
    {
        juce::Random random (42);
        for (int entry = 0; entry < 40; ++entry)
        {
            const auto headerAt = out.getPosition();
            out.writeInt (0x04034b50);
            out.writeShort ((short) entry);

            juce::MemoryBlock data ((size_t) random.nextInt (3000));
            random.fillBitsRandomly (data.getData(), data.getSize());
            out.write (data.getData(), data.getSize());

            const auto end = out.getPosition();
            out.setPosition (headerAt + 4);
            out.writeShort ((short) (entry * 7));
            out.setPosition (end);
        }
        out.setPosition (3); // far back, outside any buffer
        out.writeInt (-1);
    }
}

TEST (CheckedBufferedOutputStream, GivesTheSameBytesAsWritingDirectly)
{
    juce::MemoryOutputStream direct;
    writePattern (direct);

    for (const size_t bufferSize : { (size_t) 1, (size_t) 7, (size_t) 1024, (size_t) 1 << 18 })
    {
        juce::MemoryOutputStream destination;
        {
            CheckedBufferedOutputStream buffered (destination, bufferSize);
            writePattern (buffered);
            buffered.flush();
            EXPECT_FALSE (buffered.hasFailed());
        }
        EXPECT_EQ (destination.getMemoryBlock(), direct.getMemoryBlock()) << "buffer of " << bufferSize;
    }
}

TEST (CheckedBufferedOutputStream, AFailureIsKeptForEveryLaterCall)
{
    ziptest::FailingOutputStream destination (100);
    CheckedBufferedOutputStream buffered (destination, 64);

    char bytes[50] = {};
    EXPECT_TRUE (buffered.write (bytes, 50));  // held in the buffer
    EXPECT_TRUE (buffered.write (bytes, 50));  // the first 64 go out fine
    EXPECT_FALSE (buffered.write (bytes, 50)); // 128 bytes do not fit the destination
    EXPECT_TRUE (buffered.hasFailed());
    EXPECT_FALSE (buffered.setPosition (0));
    EXPECT_FALSE (buffered.write (bytes, 1));
    buffered.flush();
    EXPECT_TRUE (buffered.hasFailed());
}

TEST (CheckedBufferedOutputStream, TheFinalFlushReportsAShortDestination)
{
    ziptest::FailingOutputStream destination (10);
    CheckedBufferedOutputStream buffered (destination, 64);
    char bytes[20] = {};
    EXPECT_TRUE (buffered.write (bytes, 20)); // still only in the buffer
    buffered.flush();
    EXPECT_TRUE (buffered.hasFailed());
}
