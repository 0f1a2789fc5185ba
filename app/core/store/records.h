// The sections and keys of the settings file Param.ini and of the user's data file, as records,
// and the numbering of spots and compensations. Everything goes through the scrambled INI store;
// the names here are the plain ones.
#pragma once

#include "app/platform/ports.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kerbolt::store {

// ---- Param.ini, section "Param" -----------------------------------------------------------------
inline constexpr const char* kParamSection = "Param";

struct ParamSettings {
    std::string Langue;  // "1" to "4"
    std::string Mail;    // the remembered address in lower case, or empty
    std::string Montant; // the amount as typed
    std::string Titre;
    std::string Texte;   // lines joined by CR LF
    std::string Printer; // device name of the ticket printer
};

ParamSettings ReadParamSettings(const std::string& ini_path);

// The language a "Langue" text stands for: its value when it is a whole number that fits 16 bits,
// else 0 (none chosen).
std::int16_t ParseLanguage(const std::string& text);

// The writers of the settings, each at the moment the user makes the change.
bool SaveLanguage(const std::string& ini_path, std::int16_t language);
bool SaveRememberedMail(const std::string& ini_path, const std::string& mail);
bool SaveTicketSettings(const std::string& ini_path, const std::string& montant,
                        const std::string& titre, const std::string& texte);
bool SavePrinter(const std::string& ini_path, const std::string& printer);

// ---- Data file, section "INFOS" ----------------------------------------------------------------
inline constexpr const char* kInfosSection = "INFOS";

struct InfosRecord {
    std::string mail; // the account's address in lower case
    std::string pwd;  // the password without blanks at both ends
    std::string Nom;
    std::string rue;
    std::string no;
    std::string npa;
    std::string ville;
    std::string IBAN;
    std::string Mandat; // set by the operator: not empty once the mandate is active
};

InfosRecord ReadInfos(const std::string& data_file);
// Creating an account: "mail" then "pwd" (this creates the file).
bool WriteAccount(const std::string& data_file, const std::string& mail, const std::string& pwd);
// Saving the contact details: "Nom", "rue", "no", "npa", "ville", "IBAN", in that order.
bool WriteContactDetails(const std::string& data_file, const InfosRecord& infos);

// ---- Data file, sections "PLACE" and a number ---------------------------------------------------
inline constexpr const char* kPlacePrefix = "PLACE";

struct PlaceRecord {
    std::string IdPlace;      // the spot's number, at most 12 characters
    std::string adresse;      // at most 60 characters
    std::string Proprietaire; // "0" owner, "1" tenant, "2" management, "-1" none chosen
};

// The lists read at most this many numbered records. A damaged file naming a record in the
// billions would otherwise have its gap filled entry by entry until memory runs out.
inline constexpr std::int32_t kMaxRecordsRead = 100000;
// At most this many empty entries stand for missing numbers in a list.
inline constexpr std::size_t kMaxGapEntries = 1000;

// "PLACE" 0 up to the highest numbered one, each in turn: a missing number reads as an empty
// entry (up to kMaxGapEntries of them; records past that follow one another).
std::vector<PlaceRecord> ReadPlaces(const std::string& data_file);
// Writes the list as "PLACE" 0 to count - 1, every key, in list order.
bool WritePlaces(const std::string& data_file, const std::vector<PlaceRecord>& places);

// ---- Data file, sections "INDEMNITE" and a number -----------------------------------------------
inline constexpr const char* kIndemnitePrefix = "INDEMNITE";

struct IndemniteRecord {
    std::string IdPlace;      // the chosen spot's position in the spot list (its PLACE number)
    std::string date;         // "dd.mm.yyyy"
    std::string heure;        // "hh:mm"
    std::string nPlaques;     // the plates as typed
    std::string Montant100;   // the amount at the time of printing
    std::string Montant60;    // 60 % of the amount
    std::string NumIndemn;    // the reference: AccountKey, "-" and the section's number
    std::string datepaiement; // set by the operator: the payment date, or "ANNULE-..."
};

std::string IndemniteSection(std::int32_t number);
std::string PlaceSection(std::int32_t number);

// The number of the next compensation: the highest "INDEMNITE" number + 1 (0 for the first).
std::int32_t NextIndemniteNumber(const std::string& data_file);
// The ticket reference of a number.
std::string TicketReference(const std::string& account_key, std::int32_t number);

// The record of a ticket printed now for the spot at `place_index` of the list.
IndemniteRecord MakeIndemniteRecord(int place_index, const DateTime& now, const std::string& plates,
                                    const std::string& amount, const std::string& account_key,
                                    std::int32_t number);

// "dd.mm.yyyy" and "hh:mm".
std::string FormatTicketDate(const DateTime& when);
std::string FormatTicketTime(const DateTime& when);
// 60 % of an amount with "." as decimal sign and up to 15 significant digits ("50" gives "30");
// empty when the amount is no number.
std::string ComputeMontant60(const std::string& amount);

// Writes a new ticket's section; false, writing nothing, when the section is already there.
// Writes a ticket's keys in the order "IdPlace", "date", "heure", "nPlaques", "Montant100",
// "Montant60", "NumIndemn" ("datepaiement" is the operator's).
bool WriteIndemnite(const std::string& data_file, std::int32_t number,
                    const IndemniteRecord& record);
IndemniteRecord ReadIndemnite(const std::string& data_file, std::int32_t number);
// "INDEMNITE" 0 up to the last numbered one, each in turn.
std::vector<IndemniteRecord> ReadIndemnites(const std::string& data_file);

// A compensation the operator cancelled (its mark begins with "ANNULE-").
bool IsCancelled(const IndemniteRecord& record);

} // namespace kerbolt::store
