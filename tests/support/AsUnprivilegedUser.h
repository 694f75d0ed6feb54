#pragma once

#include <juce_core/juce_core.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <grp.h>
#include <pwd.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

/** Runs part of a test as a user without the superuser's powers, so that what
    holds for ordinary users only (a mode that forbids reading, a folder that
    forbids writing) is tested when the suite runs as root too.

    Not root: the part runs here, in this process, as it always did.
    Root: it runs in a forked child that has become "nobody". gtest prints the
    child's failures as they happen but cannot count them in this process, so the
    child reports through its exit status and run() turns that into a result for
    the caller to assert: EXPECT_TRUE (asUser.run (part)), with the part a named
    lambda so that a failure does not print its whole text.

    The child must find everything it touches reachable: give the test's folder
    to the user with giveTo(), under parents that every user may search (TestFolder
    makes them so). The child ends with _exit(): no destructor of the test runs
    there, so the folder is removed once, by the parent. */
class AsUnprivilegedUser
{
public:
    AsUnprivilegedUser()
    {
        if (::geteuid() != 0)
        {
            uid = ::geteuid();
            gid = ::getegid();
            return;
        }

        asRoot = true;
        const auto* nobody = ::getpwnam ("nobody");
        if (nobody == nullptr || nobody->pw_uid == 0)
        {
            whyNotHere = "running as root and there is no unprivileged user \"nobody\" to run the case as";
            return;
        }
        uid = nobody->pw_uid;
        gid = nobody->pw_gid;
        userName = "nobody";

        // Some containers cannot switch to a user they do not map: find out before the test starts.
        std::fflush (nullptr);
        const auto probe = ::fork();
        if (probe == 0)
            ::_exit (becomeTheUser().isEmpty() ? 0 : 1);
        if (probe < 0 || ! exitedWithZero (waitFor (probe)))
            whyNotHere = "running as root and unable to become \"nobody\" here: the system refused the change of ids";
    }

    /** Empty when parts can run as the user; otherwise why not, for GTEST_SKIP. */
    const juce::String& whyNot() const { return whyNotHere; }

    /** Who runs the parts, for messages. */
    const juce::String& name() const { return userName; }

    /** Makes a file, or a folder with everything in it, belong to the user;
        their modes stay as they are. Nothing to do when not root. */
    void giveTo (const juce::File& fileOrFolder) const
    {
        if (! asRoot)
            return;

        namespace fs = std::filesystem;
        const fs::path root (fileOrFolder.getFullPathName().toStdString());
        give (root);
        if (fs::is_directory (fs::symlink_status (root)))
            for (const auto& entry : fs::recursive_directory_iterator (root))
                give (entry.path());
    }

    /** Runs the part as the user; succeeds when it ran to its end and recorded no failure. */
    template<typename Part>
    testing::AssertionResult run (Part&& part) const
    {
        if (whyNotHere.isNotEmpty())
            return testing::AssertionFailure() << whyNotHere;

        const auto* result = testing::UnitTest::GetInstance()->current_test_info()->result();
        const auto partsBefore = result->total_part_count();
        const auto failedSince = [result, partsBefore] {
            for (int i = partsBefore; i < result->total_part_count(); ++i)
                if (result->GetTestPartResult (i).failed())
                    return true;
            return false;
        };

        if (! asRoot)
        {
            part();
            return failedSince() ? testing::AssertionFailure() << "the case failed (see above)"
                                 : testing::AssertionSuccess();
        }

        std::fflush (nullptr); // or the child would print this process's buffered output again
        const auto child = ::fork();
        if (child < 0)
            return testing::AssertionFailure() << "cannot fork: " << std::strerror (errno);

        if (child == 0)
        {
            int code = 0;
            const auto whyNotBecome = becomeTheUser();
            if (whyNotBecome.isNotEmpty())
            {
                std::fprintf (stderr, "cannot become %s: %s\n", userName.toRawUTF8(), whyNotBecome.toRawUTF8());
                code = 2;
            }
            else
            {
                try
                {
                    part();
                    code = failedSince() ? 1 : 0;
                }
                catch (...)
                {
                    code = 3;
                }
            }
            std::fflush (nullptr);
            ::_exit (code);
        }

        const auto status = waitFor (child);
        if (status == -1)
            return testing::AssertionFailure() << "cannot wait for the child: " << std::strerror (errno);
        if (exitedWithZero (status))
            return testing::AssertionSuccess();

        auto failure = testing::AssertionFailure() << "the case failed as " << userName << ": ";
        if (WIFEXITED (status))
        {
            switch (WEXITSTATUS (status))
            {
                case 1: return failure << "its failures are printed above";
                case 2: return failure << "it could not become that user";
                case 3: return failure << "it threw an exception";
                default: return failure << "exit status " << WEXITSTATUS (status);
            }
        }
        if (WIFSIGNALED (status))
            return failure << "killed by signal " << WTERMSIG (status);
        return failure << "wait status " << status;
    }

private:
    /** In the child: drops every group and id of root for good. Empty when done. */
    juce::String becomeTheUser() const
    {
        if (::setgroups (0, nullptr) != 0)
            return juce::String ("setgroups: ") + juce::String (std::strerror (errno));
        if (::setresgid (gid, gid, gid) != 0)
            return juce::String ("setresgid: ") + juce::String (std::strerror (errno));
        if (::setresuid (uid, uid, uid) != 0)
            return juce::String ("setresuid: ") + juce::String (std::strerror (errno));
        if (::geteuid() != uid || ::getegid() != gid)
            return "the ids did not change";
        return {};
    }

    void give (const std::filesystem::path& path) const
    {
        if (::lchown (path.c_str(), uid, gid) != 0)
            ADD_FAILURE() << "cannot give " << path << " to " << userName << ": " << std::strerror (errno);
    }

    static int waitFor (pid_t child)
    {
        int status = 0;
        while (::waitpid (child, &status, 0) < 0)
            if (errno != EINTR)
                return -1;
        return status;
    }

    static bool exitedWithZero (int status) { return status != -1 && WIFEXITED (status) && WEXITSTATUS (status) == 0; }

    bool asRoot = false;
    uid_t uid = 0;
    gid_t gid = 0;
    juce::String userName { "this user" };
    juce::String whyNotHere;
};
