#include "GzipText.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
    std::string randomBytes (std::mt19937& random, size_t most, const std::string& alphabet)
    {
        std::string text (std::uniform_int_distribution<size_t> (0, most) (random), '\0');
        for (auto& c : text)
            c = alphabet[std::uniform_int_distribution<size_t> (0, alphabet.size() - 1) (random)];
        return text;
    }

    std::optional<std::string> maybe (std::mt19937& random, std::string text)
    {
        return random() % 3 == 0 ? std::nullopt : std::optional<std::string> (std::move (text));
    }
}

TEST (GzipText, TextAndHeaderSurviveARoundTrip)
{
    std::mt19937 random (7);
    const std::string xmlish = "<a b=\"1.5\">\n\t</a> x";
    std::string everyByte (256, '\0');
    for (int i = 0; i < 256; ++i)
        everyByte[(size_t) i] = (char) i;
    const std::string nameBytes = "preset-\xc3\xa9.xiz";

    for (int round = 0; round < 200; ++round)
    {
        const auto text = randomBytes (random, round % 10 == 0 ? 300000 : 2000, round % 2 == 0 ? xmlish : everyByte);
        GzipText::Header header;
        header.name = maybe (random, randomBytes (random, 40, nameBytes));
        header.comment = maybe (random, randomBytes (random, 40, xmlish));
        header.extra = maybe (random, randomBytes (random, 60, everyByte));
        header.modificationTime = (uint32_t) random();
        header.operatingSystem = (int) (random() % 14);
        header.isText = random() % 2 == 0;
        header.hasHeaderCrc = random() % 2 == 0;

        const auto compressed = GzipText::compress (text, header, (int) (random() % 10));
        ASSERT_TRUE (GzipText::isGzip (compressed));
        const auto unpacked = GzipText::decompress (compressed);
        ASSERT_EQ (unpacked.error, "");
        ASSERT_TRUE (unpacked.text == text) << "round " << round;
        EXPECT_EQ (unpacked.header.name, header.name);
        EXPECT_EQ (unpacked.header.comment, header.comment);
        EXPECT_EQ (unpacked.header.extra, header.extra);
        EXPECT_EQ (unpacked.header.modificationTime, header.modificationTime);
        EXPECT_EQ (unpacked.header.operatingSystem, header.operatingSystem);
        EXPECT_EQ (unpacked.header.isText, header.isText);
        EXPECT_EQ (unpacked.header.hasHeaderCrc, header.hasHeaderCrc);
    }

    EXPECT_FALSE (GzipText::isGzip ("<?xml"));
    EXPECT_FALSE (GzipText::isGzip ("\x1f"));
}

TEST (GzipText, MembersOneAfterAnotherReadAsOneText)
{
    GzipText::Header first, second;
    first.name = "a.xml";
    second.name = "b.xml";
    const auto unpacked = GzipText::decompress (GzipText::compress ("<a>", first) + GzipText::compress ("</a>", second));
    EXPECT_EQ (unpacked.error, "");
    EXPECT_EQ (unpacked.text, "<a></a>");
    EXPECT_EQ (unpacked.header.name, "a.xml");
}

TEST (GzipText, DamagedDataFailsWithAReason)
{
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "<band gain=\"" + std::to_string (i) + "\"/>\n";
    GzipText::Header header;
    header.name = "bank.xmz";
    const auto good = GzipText::compress (text, header);

    std::string flippedData = good, flippedCheck = good;
    flippedData[good.size() / 2] ^= 0x55;
    flippedCheck[good.size() - 6] ^= 0x01; // within the CRC-32 of the text
    const std::string damaged[] = {
        flippedData,
        flippedCheck,
        good.substr (0, good.size() - 1),
        good.substr (0, good.size() / 2),
        good.substr (0, 5),
        good + "garbage",
        "",
    };
    for (const auto& bytes : damaged)
    {
        const auto unpacked = GzipText::decompress (bytes);
        EXPECT_EQ (unpacked.error.rfind ("damaged gzip data: ", 0), 0u) << unpacked.error;
        EXPECT_TRUE (unpacked.text.empty());
    }
}

TEST (GzipText, DataLargerThanTheLimitIsRefused)
{
    const std::string zeros (100000, '0');
    const auto bomb = GzipText::compress (zeros, {}, 9);
    ASSERT_LT (bomb.size(), 1000u);

    const auto refused = GzipText::decompress (bomb, zeros.size() - 1);
    EXPECT_EQ (refused.error, "gzip data larger than 99999 bytes once decompressed");
    EXPECT_TRUE (refused.text.empty());

    const auto atTheLimit = GzipText::decompress (bomb, zeros.size());
    EXPECT_EQ (atTheLimit.error, "");
    EXPECT_TRUE (atTheLimit.text == zeros);
}
