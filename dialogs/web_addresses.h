// Where the About dialog's buttons lead.
#pragma once

namespace kalverin {

constexpr const char* kHomePageAddress = "https://kalverin.example.org/";
constexpr const char* kChatPageAddress = "https://kalverin.example.org/scripts.html";

}  // namespace kalverin
