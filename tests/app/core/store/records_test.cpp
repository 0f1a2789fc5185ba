#include "app/core/store/records.h"

#include "app/core/store/scrambled_ini.h"
#include "pdf/writer/Pagora.h"
#include "tests/support/ini_dump.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace kerbolt::store {
namespace {

using testing_support::TempDir;

// The whole file in plain text and UTF-8, "[SECTION]" and "key=value" lines in file order.
std::string Dump(const std::string& path) {
    std::string out;
    for (const std::string& line : testing_support::DumpIni(path))
        out += pagora::Pagora::ToUtf8(line) + "\n";
    return out;
}

TEST(Records, NewAccountThenFirstTicket) {
    TempDir dir;
    const std::string data = dir.File("000NZFAP");
    ASSERT_TRUE(WriteAccount(data, "a@b.ch", "secret1"));
    EXPECT_EQ(NextIndemniteNumber(data), 0);
    const std::int32_t n = NextIndemniteNumber(data);
    ASSERT_TRUE(WriteIndemnite(
        data, n, MakeIndemniteRecord(2, {2025, 2, 3, 9, 5, 0}, "VD 123456", "50", "000NZFAP", n)));
    EXPECT_EQ(Dump(data),
              "[INFOS]\nmail=a@b.ch\npwd=secret1\n"
              "[INDEMNITE0]\nIdPlace=2\ndate=03.02.2025\nheure=09:05\nnPlaques=VD 123456\n"
              "Montant100=50\nMontant60=30\nNumIndemn=000NZFAP-0\n");
    EXPECT_EQ(NextIndemniteNumber(data), 1);
    EXPECT_EQ(TicketReference("000NZFAP", NextIndemniteNumber(data)), "000NZFAP-1");
}

TEST(Records, ContactDetailsAndOperatorMarksReadBack) {
    TempDir dir;
    const std::string data = dir.File("d");
    ASSERT_TRUE(WriteAccount(data, "a@b.ch", "pw"));
    InfosRecord infos;
    infos.Nom = "Élodie Muster";
    infos.rue = "Rue du Lac";
    infos.no = "1";
    infos.npa = "1000";
    infos.ville = "Lausanne";
    infos.IBAN = "CH93 0076 2011 6238 5295 7";
    ASSERT_TRUE(WriteContactDetails(data, infos));
    ASSERT_TRUE(store::WriteIni("INFOS", "Mandat", "1", data)); // the operator's
    infos.mail = "a@b.ch";
    infos.pwd = "pw";
    infos.Mandat = "1";
    const InfosRecord read = ReadInfos(data);
    EXPECT_EQ(Dump(data), "[INFOS]\nmail=a@b.ch\npwd=pw\nNom=Élodie Muster\nrue=Rue du Lac\n"
                          "no=1\nnpa=1000\nville=Lausanne\nIBAN=CH93 0076 2011 6238 5295 7\n"
                          "Mandat=1\n");
    EXPECT_EQ(read.Nom, infos.Nom);
    EXPECT_EQ(read.IBAN, infos.IBAN);
    EXPECT_EQ(read.Mandat, "1");
}

// Files written by hand or by other tools put blanks and tabs around names, "=" and values; they
// read as the same file without them.
TEST(Records, BlanksAndTabsAroundNamesAndValuesReadAsNone) {
    TempDir dir;
    const auto line = [](const char* before, const char* key, const char* between,
                         const char* value, const char* after) {
        return before + EncodeText(key) + between + EncodeText(value) + after + "\r\n";
    };
    const std::string padded =
        "[" + EncodeText("INFOS") + "]\r\n" + line("\t", "mail", " =\t", "a@b.ch", " ") +
        line("  ", "pwd", "\t=", "pw", "\t\t") + line("", "Nom", " = ", "Muster", "") + "[" +
        EncodeText("PLACE0") + "]\r\n" + line("\t", "IdPlace", "\t=\t", "P1", "\t") +
        line(" ", "adresse", "=", "Rue du Lac 1", " ") + line("", "Proprietaire", " = ", "0", "\t");
    testing_support::WriteFileBytes(dir.File("padded"), padded);
    ASSERT_TRUE(WriteAccount(dir.File("plain"), "a@b.ch", "pw"));
    ASSERT_TRUE(store::WriteIni("INFOS", "Nom", "Muster", dir.File("plain")));
    ASSERT_TRUE(WritePlaces(dir.File("plain"), {{"P1", "Rue du Lac 1", "0"}}));

    EXPECT_EQ(Dump(dir.File("padded")), Dump(dir.File("plain")));
    const InfosRecord read = ReadInfos(dir.File("padded"));
    EXPECT_EQ(read.mail, "a@b.ch");
    EXPECT_EQ(read.pwd, "pw");
    EXPECT_EQ(read.Nom, "Muster");
    const std::vector<PlaceRecord> places = ReadPlaces(dir.File("padded"));
    ASSERT_EQ(places.size(), 1u);
    EXPECT_EQ(places[0].IdPlace, "P1");
    EXPECT_EQ(places[0].adresse, "Rue du Lac 1");
    EXPECT_EQ(places[0].Proprietaire, "0");
}

TEST(Records, SpotsReadUpToTheLastNumberWithGapsEmpty) {
    TempDir dir;
    const std::string data = dir.File("d");
    ASSERT_TRUE(WritePlaces(
        data, {{"A12", "Rue du Lac 1, 1000 Lausanne", "0"}, {"B7", "Ch. Vert 3", "-1"}}));
    auto places = ReadPlaces(data);
    ASSERT_EQ(places.size(), 2u);
    EXPECT_EQ(places[1].IdPlace, "B7");
    EXPECT_EQ(places[1].Proprietaire, "-1");

    ASSERT_TRUE(store::WriteIni("PLACE3", "IdPlace", "C1", data));
    places = ReadPlaces(data);
    ASSERT_EQ(places.size(), 4u);
    EXPECT_EQ(places[2].IdPlace, "");
    EXPECT_EQ(places[2].adresse, "");
    EXPECT_EQ(places[3].IdPlace, "C1");
    EXPECT_TRUE(ReadPlaces(dir.File("missing")).empty());
}

TEST(Records, ANumberInTheBillionsDoesNotFillItsGapWithoutEnd) {
    TempDir dir;
    const std::string data = dir.File("d");
    ASSERT_TRUE(WritePlaces(data, {{"A12", "Rue du Lac 1, 1000 Lausanne", "0"}}));
    ASSERT_TRUE(store::WriteIni("PLACE2000000000", "IdPlace", "Z", data));
    ASSERT_TRUE(store::WriteIni("INDEMNITE2000000000", "NumIndemn", "000NZFAP-2000000000", data));
    // The far record is listed right after the others, not after a list of empty entries.
    const auto places = ReadPlaces(data);
    ASSERT_EQ(places.size(), 2u);
    EXPECT_EQ(places[0].IdPlace, "A12");
    EXPECT_EQ(places[1].IdPlace, "Z");
    const auto tickets = ReadIndemnites(data);
    ASSERT_EQ(tickets.size(), 1u);
    EXPECT_EQ(tickets[0].NumIndemn, "000NZFAP-2000000000");
    // The numbering itself still follows the highest number.
    EXPECT_EQ(NextIndemniteNumber(data), 2000000001);
}

TEST(Records, CompensationsWithOperatorMarks) {
    TempDir dir;
    const std::string data = dir.File("d");
    const char* marks[] = {"", "12.03.2025", "ANNULE-doublon", "annule-x"};
    for (std::int32_t i = 0; i < 4; ++i) {
        ASSERT_TRUE(WriteIndemnite(data, i, MakeIndemniteRecord(0, {}, "P", "50", "K", i)));
        if (*marks[i])
            ASSERT_TRUE(store::WriteIni(IndemniteSection(i), "datepaiement", marks[i], data));
    }
    const auto records = ReadIndemnites(data);
    ASSERT_EQ(records.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(records[i].datepaiement, marks[i]);
        EXPECT_EQ(records[i].NumIndemn, "K-" + std::to_string(i));
        EXPECT_EQ(IsCancelled(records[i]), i == 2) << i;
    }
}

TEST(Records, SixtyPercentOfTheAmount) {
    struct Case {
        const char* amount;
        const char* montant60;
    };
    const Case cases[] = {
        {"50", "30"},        {"12.5", "7.5"},    {"3", "1.8"},
        {"0.1", "0.06"},     {"1250", "750"},    {"7", "4.2"},
        {"0", ""},           {" 50 ", "30"},     {"\t50\t", "30"},
        {" \t12.5 ", "7.5"}, {"", ""},           {"abc", ""},
        {"12,5", ""},        {"inf", ""},        {"1e400", ""},
        {"-5", ""},          {"1e2", ""},        {"5.", "3"},
        {".5", "0.3"},       {"1000000000", ""}, {"999999999.99", "599999999.994"}};
    for (const Case& c : cases)
        EXPECT_EQ(ComputeMontant60(c.amount), c.montant60) << c.amount;
}

TEST(Records, DateAndTimeOfATicket) {
    EXPECT_EQ(FormatTicketDate({2025, 2, 3, 9, 5, 7}), "03.02.2025");
    EXPECT_EQ(FormatTicketTime({2025, 2, 3, 9, 5, 7}), "09:05");
    EXPECT_EQ(FormatTicketTime({2025, 12, 31, 23, 59, 59}), "23:59");
}

TEST(Records, LanguageSetting) {
    struct Case {
        const char* text;
        std::int16_t language;
    };
    const Case cases[] = {{"1", 1},   {"4", 4},     {" 2 ", 2}, {"", 0},   {"fr", 0},
                          {"2.5", 0}, {"70000", 0}, {"-1", -1}, {"3x", 0}, {"+3", 3}};
    for (const Case& c : cases)
        EXPECT_EQ(ParseLanguage(c.text), c.language) << c.text;
}

TEST(Records, SettingsBelongToTheComputer) {
    TempDir dir;
    const std::string ini = dir.File("Param.ini");
    ASSERT_TRUE(SaveLanguage(ini, 2));
    ASSERT_TRUE(SaveRememberedMail(ini, "a@b.ch"));
    ASSERT_TRUE(SaveTicketSettings(ini, "40", "Titre", "L1\r\nL2"));
    ASSERT_TRUE(SavePrinter(ini, "Ticket-PDF"));
    ASSERT_TRUE(SaveRememberedMail(ini, ""));
    const ParamSettings p = ReadParamSettings(ini);
    EXPECT_EQ(Dump(ini), "[Param]\nLangue=2\nMail=\nMontant=40\nTitre=Titre\nTexte=L1\r\nL2\n"
                         "Printer=Ticket-PDF\n");
    EXPECT_EQ(p.Langue, "2");
    EXPECT_EQ(p.Mail, "");
    EXPECT_EQ(p.Texte, "L1\r\nL2");
    EXPECT_EQ(p.Printer, "Ticket-PDF");
}

} // namespace
} // namespace kerbolt::store
