#include "ReadAheadInputStream.h"

#include <gtest/gtest.h>

namespace
{
    /** Hands out at most a few bytes per read, as a slow or shrinking file may. */
    class TrickleInputStream : public juce::MemoryInputStream
    {
    public:
        using MemoryInputStream::MemoryInputStream;
        int read (void* destination, int maxBytes) override { return MemoryInputStream::read (destination, juce::jmin (maxBytes, 7)); }
    };

    juce::MemoryBlock readAll (juce::InputStream& stream, int pieceSize)
    {
        juce::MemoryBlock result;
        juce::HeapBlock<char> piece ((size_t) pieceSize);
        for (int numRead; (numRead = stream.read (piece, pieceSize)) > 0;)
            result.append (piece, (size_t) numRead);
        return result;
    }
}

TEST (ReadAheadInputStream, PassesEveryByteOnInPiecesOfAnySize)
{
    juce::MemoryBlock data (100000);
    juce::Random (7).fillBitsRandomly (data.getData(), data.getSize());

    for (const size_t blockSize : { (size_t) 1, (size_t) 1000, (size_t) 65536, (size_t) 200000 })
        for (const int pieceSize : { 1, 1024, 300000 })
        {
            juce::MemoryInputStream source (data, false);
            ReadAheadInputStream readAhead (source, blockSize);
            EXPECT_EQ (readAll (readAhead, pieceSize), data) << blockSize << " " << pieceSize;
            EXPECT_EQ (readAhead.getPosition(), (juce::int64) data.getSize());
            EXPECT_TRUE (readAhead.isExhausted());
        }
}

TEST (ReadAheadInputStream, ShortReadsOfTheSourceLoseNothing)
{
    const juce::String text ("a text that arrives a few bytes at a time");
    TrickleInputStream source (text.toRawUTF8(), text.getNumBytesAsUTF8(), false);
    ReadAheadInputStream readAhead (source, 1024);
    EXPECT_EQ (readAll (readAhead, 1024).toString(), text);
}
