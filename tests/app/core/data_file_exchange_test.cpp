// The data file and Param.ini travel between computers (the FTP copy, a restored backup): a file
// that one build writes must read back in any other. Both builds write the same bytes as the
// stored files below, written by the Linux build, and read those files back whole.
#include "app/core/session/startup.h"
#include "app/core/store/records.h"
#include "tests/support/fake_ports.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace kerbolt {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;

std::string Stored(const std::string& name) {
    return testing_support::TestDataDir() + "/app/" + name;
}

// Rewrites the stored files from this build when KERBOLT_WRITE_GOLDEN names a folder.
void KeepAsGolden(const std::string& written, const std::string& name) {
    if (const char* out = std::getenv("KERBOLT_WRITE_GOLDEN")) {
        std::filesystem::copy_file(written, std::filesystem::path(out) / name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

store::InfosRecord Contact() {
    store::InfosRecord infos;
    infos.Nom = "Zoë Châtelain";
    infos.rue = "Rue de l'Église";
    infos.no = "3";
    infos.npa = "1003";
    infos.ville = "Lausanne";
    infos.IBAN = "CH93 0076 2011 6238 5295 7";
    return infos;
}

std::vector<store::PlaceRecord> Places() {
    return {{"12", "Chemin des Prés 4, 1000 Lausanne", "0"}, {"A-7", "Bahnhofstraße 1", "2"}};
}

TEST(DataFileExchange, WritesTheStoredBytes) {
    TempDir dir;
    const std::string data = PathIn(dir.Path().string(), "000NZFAP");
    ASSERT_TRUE(store::WriteAccount(data, "zoe@example.ch", "m0t de passe"));
    ASSERT_TRUE(store::WriteContactDetails(data, Contact()));
    ASSERT_TRUE(store::WritePlaces(data, Places()));
    ASSERT_TRUE(store::WriteIndemnite(
        data, 0,
        store::MakeIndemniteRecord(1, {2025, 3, 7, 9, 15, 0}, "VD 123456", "50", "000NZFAP", 0)));
    ASSERT_TRUE(store::WriteIndemnite(
        data, 1,
        store::MakeIndemniteRecord(0, {2025, 12, 31, 23, 59, 0}, "GE 1", "42.5", "000NZFAP", 1)));
    const std::string ini = PathIn(dir.Path().string(), "Param.ini");
    ASSERT_TRUE(store::SaveLanguage(ini, 1));
    ASSERT_TRUE(store::SaveRememberedMail(ini, "zoe@example.ch"));
    ASSERT_TRUE(
        store::SaveTicketSettings(ini, "50", "Indemnité", "Ligne 1\r\n{adresse}\r\n\r\nFin"));
    KeepAsGolden(data, "000NZFAP");
    KeepAsGolden(ini, "Param.ini");

    EXPECT_TRUE(ReadFileBytes(data) == ReadFileBytes(Stored("000NZFAP")));
    EXPECT_TRUE(ReadFileBytes(ini) == ReadFileBytes(Stored("Param.ini")));
    // Windows-1252 with CR LF line ends, whatever the platform.
    const std::string bytes = ReadFileBytes(data);
    for (std::size_t at = bytes.find('\n'); at != std::string::npos;
         at = bytes.find('\n', at + 1)) {
        ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << "a line ends without CR at " << at;
    }
}

TEST(DataFileExchange, ReadsTheStoredFiles) {
    const store::InfosRecord infos = store::ReadInfos(Stored("000NZFAP"));
    const store::InfosRecord expected = Contact();
    EXPECT_EQ(infos.mail, "zoe@example.ch");
    EXPECT_EQ(infos.pwd, "m0t de passe");
    EXPECT_EQ(infos.Nom, expected.Nom);
    EXPECT_EQ(infos.rue, expected.rue);
    EXPECT_EQ(infos.IBAN, expected.IBAN);
    const auto places = store::ReadPlaces(Stored("000NZFAP"));
    ASSERT_EQ(places.size(), 2u);
    EXPECT_EQ(places[1].IdPlace, "A-7");
    EXPECT_EQ(places[1].adresse, "Bahnhofstraße 1");
    EXPECT_EQ(places[0].adresse, "Chemin des Prés 4, 1000 Lausanne");
    EXPECT_EQ(store::NextIndemniteNumber(Stored("000NZFAP")), 2);
    const store::ParamSettings param = store::ReadParamSettings(Stored("Param.ini"));
    EXPECT_EQ(param.Langue, "1");
    EXPECT_EQ(param.Mail, "zoe@example.ch");
    EXPECT_EQ(param.Titre, "Indemnité");
    EXPECT_EQ(param.Texte, "Ligne 1\r\n{adresse}\r\n\r\nFin");
}

// A user profile whose name is not ASCII: the folder and the files carry the name in the user's
// code page (Windows-1252 here) and are found again under it.
TEST(DataFileExchange, AProfileNameInTheUsersCodePage) {
    TempDir dir;
    const std::string profile = PathIn(dir.Path().string(), "Ren\xe9"
                                                            "e M\xfcller");
    const std::string folder = PathIn(PathIn(PathIn(profile, "AppData"), "Local"), "Kerbolt");
    testing_support::FixedPaths paths(folder, dir.Path().string());
    testing_support::MemoryFtp ftp;
    testing_support::RecordingPrompts prompts;
    store::State state;
    session::Main(state, paths, ftp, prompts);
    ASSERT_EQ(state.IniPath, PathIn(folder, "Param.ini"));
    EXPECT_TRUE(state.NewInstall);
    ASSERT_TRUE(store::SaveLanguage(state.IniPath, 3));
    EXPECT_EQ(store::ReadParamSettings(state.IniPath).Langue, "3");
#ifdef _WIN32
    // The same folder seen through the Unicode entry points: the code page was the user's.
    ASSERT_EQ(GetACP(), 1252u);
    const std::wstring wide = dir.Path().wstring() + L"\\Ren\u00e9e M\u00fcller\\AppData\\Local\\"
                                                     L"Kerbolt\\Param.ini";
    EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
#else
    EXPECT_TRUE(std::filesystem::is_regular_file(state.IniPath));
#endif
}

} // namespace
} // namespace kerbolt
