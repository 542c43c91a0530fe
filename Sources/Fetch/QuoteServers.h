// Host names of the three servers of the quote service, read from
// "servers.conf" in the application folder. Every request URL asks here.
#pragma once

#include <string>

// The address the simulated quote service listens on by default.
constexpr const char* kDefaultQuoteServer = "127.0.0.1:8731";

// Reads folder + "/servers.conf": lines "quote=", "history=" and "profile="
// followed by HOST[:PORT]; blank lines and lines starting with '#' are skipped.
// A missing file, a missing key or a malformed value gives the default.
void LoadQuoteServers(const std::string& folder);

// "HOST[:PORT]" of each server.
const std::string& QuoteHost();
const std::string& HistoryHost();
const std::string& ProfileHost();
