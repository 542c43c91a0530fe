// Host names of the three servers of the quote service, read from
// "servers.conf" in the application folder. Every request URL asks here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The address the simulated quote service listens on by default.
constexpr const char* kDefaultQuoteServer = "127.0.0.1:8731";

// Reads folder + "/servers.conf": lines "quote=", "history=" and "profile="
// followed by HOST[:PORT]; blank lines and lines starting with '#' are skipped.
// HOST is a host name (labels of letters, digits and inner hyphens, at most 253
// characters), an IPv4 address or an IPv6 address in brackets; PORT is 1..65535.
// Lines end as in every text file of the folder (CTextFile). A missing file, a
// missing key or a refused value gives the default. Returns the numbers (from
// 1) of the lines that were refused: a value that is no HOST[:PORT], a key
// that is none of the three, a line without '='.
std::vector<int32_t> LoadQuoteServers(const std::string& folder);

// "HOST[:PORT]" of each server.
const std::string& QuoteHost();
const std::string& HistoryHost();
const std::string& ProfileHost();
