// `vezizo chart CODE [--png FILE] [--days N] [--size WxH]`: the chart of a
// stock's KD file, drawn as the chart window draws it, into a PNG file.
#pragma once

#include <string>
#include <vector>

class CMetalWindow;

// False for arguments that are wrong, with problem saying which one and why.
bool ChartArgumentsValid(const std::vector<std::string>& arguments, std::string& problem);
// Shows the stock in the chart window and writes its picture (by default
// KDnnnn.png in the application folder, the last 120 days, 1200x800).
// Returns the exit status.
int RunChart(CMetalWindow& window, const std::vector<std::string>& arguments);
