// The suggestion as the user reads it: a fixed template with eight placeholders.
#pragma once

#include <string>
#include <string_view>

#include "engine/Suggestion.h"

namespace orvenna {

// Fifteen lines, each ended by CR LF; {1}..{6} the positions, {7} the blue numbers,
// {8} the likely digits.
inline constexpr std::wstring_view SuggestionTemplate =
    L"…正式版本,以下推演数据仅供参考…\r\n"
    L"\r\n"
    L"对位预测:（每位最多5个号)\r\n"
    L"第一位:{1}\r\n"
    L"第二位:{2}\r\n"
    L"第三位:{3}\r\n"
    L"第四位:{4}\r\n"
    L"第五位:{5}\r\n"
    L"第六位:{6}\r\n"
    L"\r\n"
    L"蓝号:\r\n"
    L"{7}\r\n"
    L"\r\n"
    L"可能出现号(最多6个)\r\n"
    L"{8}\r\n";

// The template with every "{k}" replaced by the k-th text.
std::wstring fillSuggestion(const Suggestion& texts);
// The same into `text`, replacing what it held in its own storage.
void fillSuggestion(const Suggestion& texts, std::wstring& text);

}  // namespace orvenna
