// Reads a Code 128 pattern back as a scanner would, with rules of its own:
// the values from the widths, the check value, then code sets, shifts, FNC1
// and FNC4 with its latch. Tests and the pattern fuzzer use it to see that a
// symbol says exactly what it was given.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "symbologies/Code128.h"

struct TCode128Reading {
    bool Ok = false;
    std::string Error;
    std::vector<int> Values; // the start value and the data values: no check, no stop
    std::u16string Text;     // FNC1 after the first position as GS (0x1D)
    bool Gs1 = false;        // FNC1 in the first position
};

inline TCode128Reading ReadCode128(std::u16string_view pattern) {
    TCode128Reading r;
    std::string widths;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i];
        const bool bar = c >= u'5' && c <= u'8';
        const bool space = c >= u'0' && c <= u'3';
        if (bar == space || bar != (i % 2 == 0)) {
            r.Error = "not bars and spaces by turns at " + std::to_string(i);
            return r;
        }
        widths += static_cast<char>('1' + (bar ? c - u'5' : c - u'0'));
    }
    if (widths.size() < 6 + 6 + 7 || (widths.size() - 7) % 6 != 0 ||
        widths.substr(widths.size() - 7) != "2331112") {
        r.Error = "no start, check and stop";
        return r;
    }
    const std::string starts[] = {"211412", "211214", "211232"};
    for (std::size_t at = 0; at + 7 < widths.size(); at += 6) {
        const std::string w = widths.substr(at, 6);
        int value = -1;
        if (at == 0) {
            for (int s = 0; s < 3; ++s)
                if (w == starts[s]) value = Code128StartA + s;
        } else {
            for (std::size_t v = 0; v < Code128Table.size(); ++v)
                if (std::u16string_view(Code128Table[v].Widths) ==
                    std::u16string(w.begin(), w.end()))
                    value = static_cast<int>(v);
        }
        if (value < 0) {
            r.Error = "no symbol character " + w;
            return r;
        }
        r.Values.push_back(value);
    }
    const int check = r.Values.back();
    r.Values.pop_back();
    int sum = r.Values[0];
    for (std::size_t i = 1; i < r.Values.size(); ++i)
        sum += r.Values[i] * static_cast<int>(i);
    if (sum % 103 != check) {
        r.Error = "wrong check value";
        return r;
    }

    enum { A, B, C };
    int set = r.Values[0] - Code128StartA;
    bool shift = false;
    bool latched = false;
    bool fnc4 = false; // for the next data character
    for (std::size_t i = 1; i < r.Values.size(); ++i) {
        const int v = r.Values[i];
        const int cur = shift ? (set == A ? B : A) : set;
        shift = false;
        if (v == Code128Fnc1) {
            if (i == 1)
                r.Gs1 = true;
            else
                r.Text += u'\x1d';
            continue;
        }
        if (cur == C) {
            if (v < 100) {
                r.Text += static_cast<char16_t>(u'0' + v / 10);
                r.Text += static_cast<char16_t>(u'0' + v % 10);
            } else {
                set = v == Code128CodeB ? B : A;
            }
            continue;
        }
        if (v < 96) {
            int c = cur == A ? (v < 64 ? v + 32 : v - 64) : v + 32;
            if (latched != fnc4) c += 128;
            fnc4 = false;
            r.Text += static_cast<char16_t>(c);
        } else if (v == Code128Shift && set != C) {
            shift = true;
        } else if (v == Code128CodeC) {
            set = C;
        } else if (v == (cur == A ? Code128CodeA : Code128CodeB)) { // FNC4 of the set
            if (fnc4) latched = !latched;
            fnc4 = !fnc4;
        } else if (v == Code128CodeA || v == Code128CodeB) {
            set = cur == A ? B : A;
        } else {
            r.Error = "value " + std::to_string(v) + " at " + std::to_string(i);
            return r;
        }
    }
    r.Ok = true;
    return r;
}
