// Shared between the demo generator's reference data and its entries.
#pragma once

#include "server/store_demo.h"

#include <soci/soci.h>

#include <string>
#include <vector>

namespace ctbdemo {

struct TAccount {
    const char* Code;
    const char* Redu;  // "" for synthetic accounts
    const char* Name;
    const char* CCus;  // IDCONTCCUS
    const char* Come;  // IDTIPOCOME
};

const std::vector<TAccount>& Accounts();
const TAccount& Account(const std::string& code);  // throws for an unknown code

const std::vector<std::string>& CompanyBranches(const std::string& empresa);
const std::vector<std::string>& BranchCentres(const std::string& filial);
const std::string& HistText(const std::string& code);
int ClientCount();
int SupplierCount();
const std::vector<std::string>& BankAccounts();  // CDREDUCONT codes

void WriteReference(soci::session& sql, int year);
TDemoSummary WriteEntries(soci::session& sql, const TDemoOptions& options, int year);

std::string Code6(long n);  // "000123"

}  // namespace ctbdemo
