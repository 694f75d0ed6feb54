// Whatever a run backs up, the restore of its backup gives back byte for
// byte: names that are not UTF-8, paths past the system's limit on path
// names, modes, links beside the files and gzip, in random mixtures.
#include "GzipText.h"
#include "support/BatchFixture.h"

#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using RestoreRoundTrip = BatchFixture;

namespace
{
    struct Entry
    {
        std::string bytes; // a file's contents, or a link's target
        unsigned mode = 0;
        bool link = false;
        bool operator== (const Entry& other) const { return bytes == other.bytes && mode == other.mode && link == other.link; }
    };
    using Snapshot = std::map<std::string, Entry>;

    /** Opens (making them as needed) the folders of relative below root, by descriptor, so depth has no limit. */
    int openParentOf (int root, const std::string& relative, std::string& leaf)
    {
        int current = ::dup (root);
        size_t start = 0;
        for (auto slash = relative.find ('/'); slash != std::string::npos; start = slash + 1, slash = relative.find ('/', start))
        {
            const auto part = relative.substr (start, slash - start);
            ::mkdirat (current, part.c_str(), 0755);
            const int next = ::openat (current, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
            ::close (current);
            current = next;
        }
        leaf = relative.substr (start);
        return current;
    }

    void writeAt (int root, const std::string& relative, const std::string& bytes, unsigned mode)
    {
        std::string leaf;
        const int parent = openParentOf (root, relative, leaf);
        const int file = ::openat (parent, leaf.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE (file, 0) << relative;
        ASSERT_EQ (::write (file, bytes.data(), bytes.size()), (ssize_t) bytes.size());
        ::fchmod (file, mode);
        ::close (file);
        ::close (parent);
    }

    /** Empties a folder by descriptor: a path past the system's limit cannot be removed by name. */
    void removeAllIn (int folder)
    {
        DIR* listing = ::fdopendir (::openat (folder, ".", O_RDONLY | O_DIRECTORY)); // a dup would share the read position
        std::vector<std::string> names;
        while (const auto* entry = ::readdir (listing))
            if (std::string (entry->d_name) != "." && std::string (entry->d_name) != "..")
                names.emplace_back (entry->d_name);
        ::closedir (listing);
        for (const auto& name : names)
            if (::unlinkat (folder, name.c_str(), 0) != 0)
            {
                const int sub = ::openat (folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
                removeAllIn (sub);
                ::close (sub);
                ::unlinkat (folder, name.c_str(), AT_REMOVEDIR);
            }
    }

    void snapshotOf (int folder, const std::string& path, Snapshot& snapshot)
    {
        DIR* listing = ::fdopendir (::openat (folder, ".", O_RDONLY | O_DIRECTORY)); // a dup would share the read position
        std::vector<std::string> names;
        while (const auto* entry = ::readdir (listing))
            if (std::string (entry->d_name) != "." && std::string (entry->d_name) != ".."
                && std::string (entry->d_name).rfind ("QuillmereBackup", 0) != 0)
                names.emplace_back (entry->d_name);
        ::closedir (listing);

        for (const auto& name : names)
        {
            const auto relative = path.empty() ? name : path + "/" + name;
            struct stat info;
            ::fstatat (folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW);
            if (S_ISDIR (info.st_mode))
            {
                const int sub = ::openat (folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
                snapshotOf (sub, relative, snapshot);
                ::close (sub);
                continue;
            }
            Entry entry { {}, info.st_mode & 07777u, S_ISLNK (info.st_mode) };
            if (entry.link)
            {
                char target[4096];
                const auto length = ::readlinkat (folder, name.c_str(), target, sizeof target);
                entry.bytes.assign (target, (size_t) std::max<ssize_t> (length, 0));
            }
            else
            {
                const int file = ::openat (folder, name.c_str(), O_RDONLY);
                char buffer[4096];
                for (ssize_t got; (got = ::read (file, buffer, sizeof buffer)) > 0;)
                    entry.bytes.append (buffer, (size_t) got);
                ::close (file);
            }
            snapshot[relative] = entry;
        }
    }
}

namespace
{
    std::string differences (const Snapshot& expected, const Snapshot& actual)
    {
        std::string text;
        for (const auto& [path, entry] : expected)
            if (const auto found = actual.find (path); found == actual.end() || ! (found->second == entry))
                text += "\n" + path.substr (path.size() > 40 ? path.size() - 40 : 0)
                      + (found == actual.end() ? " missing" : " mode " + std::to_string (found->second.mode) + " bytes " + found->second.bytes);
        for (const auto& [path, entry] : actual)
            if (expected.count (path) == 0)
                text += "\n" + path.substr (path.size() > 40 ? path.size() - 40 : 0) + " added";
        return text;
    }
}

TEST_F (RestoreRoundTrip, RestoringARunsBackupGivesEveryByteBack)
{
    const std::vector<std::string> names = { "a.xml", "caf\xe9.xml", "bad\xff\xfe.xml", "c\xc0\x80x.xml", "new\nline.xml",
                                             "Gr\xc3\xbc\xc3\x9f"
                                             "e.xml",
                                             "sp ace.xml" };
    const std::string longFolder (200, 'd');
    const unsigned modes[] = { 0644, 0600, 0640, 0664 };
    std::mt19937 random (35);

    for (int round = 0; round < 12; ++round)
    {
        const int root = ::open (folder.path().toRawUTF8(), O_RDONLY | O_DIRECTORY);
        const int files = 1 + (int) (random() % 5);
        for (int i = 0; i < files; ++i)
        {
            // Sometimes 25 folders deep: past 4,096 bytes of path.
            std::string path;
            const int depth = random() % 3 == 0 ? 25 : (int) (random() % 3);
            for (int d = 0; d < depth; ++d)
                path += longFolder + std::to_string (d) + "/";
            path += std::to_string (i) + names[random() % names.size()];
            const std::string text = "<p v=\"1\">" + path.substr (path.rfind ('/') + 1) + "</p>\n";
            writeAt (root, path, random() % 4 == 0 ? GzipText::compress (text, {}) : text, modes[random() % std::size (modes)]);
        }
        ::symlinkat ("0a.xml", root, "link.xml"); // beside the files, perhaps dangling
        ::symlinkat ("/etc/passwd", root, "out.xml");

        Snapshot before, edited, restored;
        snapshotOf (root, "", before);

        auto settings = replaceSettings ("v=\"1\"", "v=\"2\"", true);
        const auto run = this->run (settings);
        ASSERT_NE (run.backupFile, juce::File()) << run.log;
        snapshotOf (root, "", edited);
        ASSERT_NE (edited, before) << run.log;
        EXPECT_EQ (run.filesChanged, files) << run.log; // not one passed over

        const auto restore = this->run (restoreSettings (run.backupFile));
        EXPECT_EQ (restore.status, BatchOutcome::Status::completed) << restore.log;
        snapshotOf (root, "", restored);
        EXPECT_TRUE (restored == before) << "round " << round << ": " << differences (before, restored) << "\n"
                                         << restore.log;

        removeAllIn (root);
        ::close (root);
    }
}
