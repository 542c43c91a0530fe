// `vezizo quotes [--sort KEY] [--descending]`: the quote list of the display
// sheet printed on standard output, one line per row, in UTF-8.
#pragma once

#include <string>
#include <vector>

class CMetalWindow;

// False with problem for arguments other than "--sort KEY" (KEY one of name,
// mark, cv1, cv2, cv3, cv4, cvc) and "--descending".
bool QuotesArgumentsValid(const std::vector<std::string>& arguments, std::string& problem);
// Gives the display command, sorts the list as asked and prints its rows
// with the cell texts the list shows. Returns the exit status.
int PrintQuoteList(CMetalWindow& window, const std::vector<std::string>& arguments);
