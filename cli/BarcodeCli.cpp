#include "cli/BarcodeCli.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <unistd.h>

#include "cli/BatchRun.h"
#include "cli/CliOptionTable.h"
#include "cli/TypeNames.h"
#include "cli/VerifyModule.h"
#include "cli/WrittenPicture.h"
#include "engine/BarcodeError.h"
#include "picture/GeneratePicture.h"

namespace {

std::string Prefixed(std::string_view message) {
    return std::string(CliPrefix).append(message);
}

// A refusal of our own, before the engine sees the code: the window never
// generates an empty code, and a type of text would draw an empty symbol. The
// engine refuses a blank code for a type of digits itself.
std::string CodeProblem(const std::string& code) {
    if (code.empty()) return "the code is empty: nothing to draw";
    return {};
}

bool Encodes(const std::u16string& code, int type, bool useCheckSum) {
    try {
        PrepareBarcode(code, type, useCheckSum);
        return true;
    } catch (const EBarcodeError&) {
        return false;
    }
}

// A line for after the engine's refusal, where the user likely meant something else.
std::string RefusalHint(const std::u16string& code, int type, bool useCheckSum) {
    // A whole EAN-8, EAN-13 or UPC-A code while its check digit is being added.
    const int withCheck = DigitsWithCheckDigit(TBarcodeType(type));
    std::u16string digits = TrimmedCode(code);
    if (withCheck > 0) digits.resize(std::min(digits.size(), digits.find(u'+'))); // an add-on
    const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    if (useCheckSum && withCheck > 0 && digits.size() == std::size_t(withCheck) &&
        std::ranges::all_of(digits, isDigit))
        return "hint: give --no-check-digit to have the last digit verified";
    if (digits.empty()) return {}; // blanks for a type of digits: the message says it all
    // Subsets that carry characters the other lacks (lower case, control characters).
    struct Sibling {
        int type, other;
    };
    static constexpr Sibling siblings[] = {
        {bcCode39, bcCode39Extended},
        {bcCode93, bcCode93Extended},
        {bcCode128A, bcCode128B},
        {bcCode128B, bcCode128A},
        {bcCodeEAN128A, bcCodeEAN128B},
        {bcCodeEAN128B, bcCodeEAN128A},
        // Only then the code sets chosen for the code: the fixed set may be what was meant.
        {bcCode128A, bcCode128},
        {bcCode128B, bcCode128},
        {bcCode128C, bcCode128}};
    for (const Sibling& s : siblings)
        if (s.type == type && !Encodes(code, type, useCheckSum) &&
            Encodes(code, s.other, useCheckSum)) {
            const std::string other = BarcodeTableName(s.other);
            return "hint: " + other + " carries every character of this code (-t " + other + ")";
        }
    return {};
}

// A symbol wider than the box even at modules of one pixel is drawn on a
// wider picture, as the window draws it. A box the user chose with --size is
// the room the picture has on a label, so there it is refused instead.
std::string BoxExceeded(const TCliOptions& o, int width, int height) {
    const int w = o.Generate.Width, h = o.Generate.Height;
    if (!o.SizeGiven || (width <= w && height <= h)) return {};
    return "the symbol does not fit into --size " + std::to_string(w) + "x" + std::to_string(h) +
           ": even with modules of one pixel its picture is " + std::to_string(width) + " x " +
           std::to_string(height) + " pixels";
}

// A turned label as a scanner reads it: turned back (ZXing looks across rows only).
TGreyPicture Upright(const TGreyPicture& written, const TGenerateOptions& o) {
    const int turns = o.Print ? o.Print->QuarterTurns % 4 : 0;
    if (turns == 0) return written;
    const int w = written.Width, h = written.Height;
    TGreyPicture upright;
    upright.Width = turns == 2 ? w : h;
    upright.Height = turns == 2 ? h : w;
    upright.Pixels.resize(written.Pixels.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // The written (x, y) came from the upright (ux, uy) turned clockwise.
            const int ux = turns == 1 ? y : turns == 2 ? w - 1 - x : h - 1 - y;
            const int uy = turns == 1 ? w - 1 - x : turns == 2 ? h - 1 - y : x;
            upright.Pixels[std::size_t(uy) * std::size_t(upright.Width) + std::size_t(ux)] =
                written.Pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)];
        }
    return upright;
}

TCodeOutcome Refused(std::string message) {
    TCodeOutcome r;
    r.Exit = cliRefused;
    r.Messages.push_back(std::move(message));
    return r;
}

// Runs step, turning every failure into a refusal: the engine's message as it
// is (with a hint), anything else with our prefix.
template <class Step>
TCodeOutcome Guarded(const TCliOptions& o, const std::u16string& code, Step step) {
    try {
        return step();
    } catch (const EBarcodeError& e) {
        TCodeOutcome r = Refused(e.what());
        std::string hint = RefusalHint(code, o.Type, o.Generate.UseCheckSum);
        if (!hint.empty()) r.Messages.push_back(std::move(hint));
        return r;
    } catch (...) {
        return CaughtFailure();
    }
}

TCodeOutcome PatternOf(const TCliOptions& o) {
    const std::u16string code = FromUtf8(o.Code);
    return Guarded(o, code, [&] {
        const std::string problem = CodeProblem(o.Code);
        if (!problem.empty()) return Refused(Prefixed(problem));
        const TPreparedCode p = PrepareBarcode(code, o.Type, o.Generate.UseCheckSum);
        TCodeOutcome r;
        r.Bytes = EscapeForLine(p.Text) + '\n' + ToUtf8(p.Pattern) + '\n';
        return r;
    });
}

// Prints the outcome's messages, and its bytes when they are for standard output.
int Finish(const TCodeOutcome& r, TCliStream& out, TCliStream& err, bool bytesToOut = true) {
    for (const std::string& line : r.Messages)
        err << line << '\n';
    if (!r.Unverified.empty()) err << UnverifiedLine(r.Unverified) << '\n';
    if (r.Exit != cliOk || !bytesToOut || r.Bytes.empty()) return r.Exit;
    out << r.Bytes;
    return cliOk;
}

// What the actions other than Generate print.
TCodeOutcome Printed(const TCliOptions& o) {
    TCodeOutcome text;
    switch (o.Action) {
    case TCliAction::Help:
        text.Bytes = CliHelpText();
        break;
    case TCliAction::Version:
        text.Bytes = "barcodegen-cli " BARCODEGEN_VERSION "\n";
        break;
    case TCliAction::ListTypes:
        text.Bytes = CliTypeList();
        break;
    case TCliAction::Pattern:
        return PatternOf(o);
    case TCliAction::Generate:
        break;
    }
    return text;
}

} // namespace

TCliStream& TCliStream::operator<<(std::string_view text) {
    buffer.append(text);
    if (buffer.size() >= 1 << 16) Flush();
    return *this;
}

bool TCliStream::Flush() {
    std::string_view left = buffer;
    while (!left.empty() && error == 0) {
        const ssize_t n = ::write(fd, left.data(), std::min<std::size_t>(left.size(), 1 << 30));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            break;
        }
        left.remove_prefix(std::size_t(n));
    }
    buffer.clear();
    return error == 0;
}

std::string TCliStream::Problem() const {
    return std::strerror(error);
}

TCodeOutcome CaughtFailure() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return Refused(Prefixed("not enough memory"));
    } catch (const std::exception& e) {
        return Refused(Prefixed(e.what()));
    } catch (...) {
        return Refused(Prefixed("unexpected failure"));
    }
}

std::string UnverifiedLine(std::string_view reason) {
    return Prefixed("--verify: ").append(reason).append("; written unverified");
}

TCodeOutcome RenderCode(const TCliOptions& o, const std::string& code,
                        const std::function<void(TBytes&)>& alterBytes) {
    const std::u16string text = FromUtf8(code);
    return Guarded(o, text, [&] {
        const std::string problem = CodeProblem(code);
        if (!problem.empty()) return Refused(Prefixed(problem));
        const TPictureLayout layout = LayoutBarcodePicture(text, o.Type, o.Generate);
        const std::string box = BoxExceeded(o, layout.Width, layout.Height);
        if (!box.empty()) return Refused(Prefixed(box));
        const TPictureFormat* format = PictureFormatNamed(o.Format);
        if (!format) return Refused(Prefixed("unknown picture format \"" + o.Format + "\""));
        TCodeOutcome r;
        r.Bytes = EncodeBarcodePicture(*format, layout, o.Dpi);
        if (alterBytes) alterBytes(r.Bytes);
        if (o.Verify) {
            // What is read is what will be written: a page or an encoder that
            // loses part of the picture must not pass.
            const TVerifyRequest expected{text, o.Type, o.Generate.UseCheckSum};
            r.Unverified = VerifyUnverifiableReason(expected);
            if (r.Unverified.empty()) {
                std::string why;
                const TGreyPicture written = WrittenPicture(r.Bytes, o.Format, o.Dpi, &why);
                if (!written.IsNull())
                    why = VerifyReadBackProblem(Upright(written, o.Generate), expected);
                if (!why.empty()) return Refused(Prefixed(why));
            }
        }
        return r;
    });
}

TCodeOutcome RunCode(const TCliOptions& o, const std::string& code, const std::string& fileName,
                     TFileFlush flush) {
    TCodeOutcome r = RenderCode(o, code);
    if (r.Exit != cliOk) return r;
    return Guarded(o, FromUtf8(code), [&] {
        std::string error;
        if (!WriteFileAtomically(fileName, r.Bytes, &error, flush)) return Refused(Prefixed(error));
        return r;
    });
}

int RunBarcodeCli(const std::vector<std::string>& args, TCliStream& out, TCliStream& err) {
    try {
        const TCliParse parsed = ParseCliArguments(args);
        if (!parsed.Error.empty()) {
            err << CliPrefix << parsed.Error << '\n';
            if (!parsed.Hint.empty()) err << parsed.Hint << '\n';
            err << "Try 'barcodegen-cli --help'.\n";
            return cliUsage;
        }
        const TCliOptions& o = parsed.Options;
        if (o.Action != TCliAction::Generate) return Finish(Printed(o), out, err);
        // Once, as the X-dimension is the same for every code of a batch.
        if (o.Generate.Print) {
            const std::string off = XDimDeviation(*o.Generate.Print, TBarcodeType(o.Type & 0xFF));
            if (!off.empty()) err << CliPrefix << off << '\n';
        }
        if (!o.Batch.empty()) return RunBatch(o, err);
        if (o.Output == "-") return Finish(RenderCode(o, o.Code), out, err);
        return Finish(RunCode(o, o.Code, o.Output), out, err, false);
    } catch (...) {
        return Finish(CaughtFailure(), out, err);
    }
}
