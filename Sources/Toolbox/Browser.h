// Opens a URL in the user's web browser.
#pragma once

// url may lack its scheme; "http://" is then assumed. False when no browser
// could be asked.
bool LaunchURL(const char* url);
