#include "app/core/store/file_cache.h"

#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "app/core/ticket/ticket_draft.h"
#include "tests/support/data_file_sample.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace kerbolt::store {
namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

// A stamp in whole seconds, as file systems with coarse time stamps give them.
fs::file_time_type WholeSecond(fs::file_time_type t) {
    return fs::file_time_type(std::chrono::floor<std::chrono::seconds>(t.time_since_epoch()));
}

// Writes a file as another program would, then gives it the stamp `when`.
void WriteAs(const std::string& path, const std::string& bytes, fs::file_time_type when) {
    WriteFileBytes(path, bytes);
    fs::last_write_time(path, when);
}

std::string Value(const std::string& path) {
    return LoadShared(path)->Value("S", "k").value_or("<none>");
}

TEST(FileCache, AnUnchangedFileIsParsedOnce) {
    TempDir dir;
    const std::string path = dir.File("d.ini");
    const auto an_hour_ago = fs::file_time_type::clock::now() - std::chrono::hours(1);
    // An old stamp: the stamp alone vouches for the content. A fresh one: the bytes are compared,
    // but an unchanged file is still not parsed again.
    for (const auto stamp : {an_hour_ago, WholeSecond(fs::file_time_type::clock::now())}) {
        WriteAs(path, "[S]\r\nk=1\r\n", stamp);
        const std::uint64_t before = ParseCount();
        const auto first = LoadShared(path);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(LoadShared(path), first);
        EXPECT_EQ(ParseCount() - before, 1u);
        EXPECT_EQ(Value(path), "1");
        ForgetShared(path);
    }
}

TEST(FileCache, ChangesByAnotherWriterAreSeen) {
    TempDir dir;
    const std::string path = dir.File("d.ini");
    using Stamp = fs::file_time_type;
    const auto an_hour_ago = fs::file_time_type::clock::now() - std::chrono::hours(1);
    // Each rewrite's stamp from the stamp of the first write.
    struct Case {
        const char* what;
        bool fresh; // first written now, else an hour ago
        bool whole; // the stamps in whole seconds
        const char* value;
        bool same_stamp; // the rewrite keeps the stamp, else it gets a second more
    };
    const Case cases[] = {
        {"longer, new stamp", false, false, "22", false},
        {"same size, new stamp", false, false, "2", false},
        // A file system keeping whole seconds: rewritten in the second it was read, with the
        // same size, the file keeps its stamp.
        {"same size, same second", true, true, "2", true},
        {"same size, same fine stamp", true, false, "2", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ForgetShared(path);
        Stamp first = c.fresh ? fs::file_time_type::clock::now() : an_hour_ago;
        if (c.whole) first = WholeSecond(first);
        WriteAs(path, "[S]\r\nk=1\r\n", first);
        ASSERT_EQ(Value(path), "1");
        WriteAs(path, std::string("[S]\r\nk=") + c.value + "\r\n",
                c.same_stamp ? first : first + std::chrono::seconds(1));
        EXPECT_EQ(Value(path), c.value);
    }

    // Gone, and back.
    fs::remove(path);
    EXPECT_EQ(Value(path), "<none>");
    EXPECT_TRUE(LoadShared(path)->Readable());
    WriteAs(path, "[S]\r\nk=3\r\n", an_hour_ago);
    EXPECT_EQ(Value(path), "3");
}

TEST(FileCache, WhatTheProgramWritesIsReadBackWithoutParsing) {
    TempDir dir;
    const std::string path = dir.File("d.ini");
    WriteAs(path, "[S]\r\nk=1\r\n", fs::file_time_type::clock::now() - std::chrono::hours(1));
    ASSERT_EQ(Value(path), "1");

    const std::uint64_t before = ParseCount();
    ASSERT_TRUE(WriteValue(path, "S", "k", "2"));
    EXPECT_EQ(Value(path), "2");
    EXPECT_EQ(ParseCount(), before);

    // A whole replacement (a merge with the server's copy) is read again, even when the file
    // system gives it back the stamp and the size of what was read before.
    const auto old_stamp = fs::last_write_time(path);
    ASSERT_TRUE(WriteFileAtomically(path, "[S]\r\nk=3\r\n"));
    fs::last_write_time(path, old_stamp);
    EXPECT_EQ(Value(path), "3");
}

TEST(FileCache, ThePreviewParsesTheDataFileOnceAndFollowsItsChanges) {
    TempDir dir;
    store::State state;
    state.DataFolder = dir.Path().string();
    store::SetAccount(state, "a@b.ch");
    state.Language = texts::kFrench;
    state.TicketText = "Place {adresse}";
    ASSERT_TRUE(
        testing_support::WriteSampleDataFile(state.DataFile, "a@b.ch", state.AccountKey, 1000));
    ForgetShared(state.DataFile);
    const DateTime now{2026, 3, 14, 9, 30, 0};

    const std::uint64_t before = ParseCount();
    std::string plates;
    for (const char c : std::string("VD 12345")) {
        plates += c;
        const ticket::TicketDraft draft = ticket::BuildTicketDraft(state, {1, plates}, now);
        EXPECT_EQ(draft.number, 1000);
        EXPECT_EQ(draft.record.nPlaques, plates);
    }
    EXPECT_EQ(ParseCount() - before, 1u);
    // The first reads of the window (its spots, the details) share that parse too.
    EXPECT_EQ(ReadPlaces(state.DataFile).size(), 3u);
    EXPECT_EQ(ReadInfos(state.DataFile).mail, "a@b.ch");
    EXPECT_EQ(ParseCount() - before, 1u);

    // A ticket recorded by the program, then one by another copy of the program.
    const ticket::TicketDraft draft = ticket::BuildTicketDraft(state, {1, plates}, now);
    ASSERT_TRUE(WriteIndemnite(state.DataFile, draft.number, draft.record));
    EXPECT_EQ(ticket::BuildTicketDraft(state, {1, plates}, now).number, 1001);
    {
        std::ofstream other(state.DataFile, std::ios::binary | std::ios::app);
        other << "[" << store::EncodeText(IndemniteSection(1001)) << "]\r\n"
              << store::EncodeText("IdPlace") << "=" << store::EncodeText("0") << "\r\n";
    }
    const ticket::TicketDraft after = ticket::BuildTicketDraft(state, {2, plates}, now);
    EXPECT_EQ(after.number, 1002);
    EXPECT_NE(after.preview.labels[ticket::kLabelText].find("Route de la Gare 3"),
              std::string::npos)
        << after.preview.labels[ticket::kLabelText];
}

} // namespace
} // namespace kerbolt::store
