#include "UpdateCommand.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <ostream>

#include "Cli.h"
#include "InputFile.h"
#include "Options.h"
#include "base/PathText.h"
#include "base/Text.h"
#include "net/SecureAddress.h"
#include "system/Console.h"
#include "system/ProgramDirectory.h"
#include "system/Settings.h"
#include "update/Installer.h"
#include "update/InstallerDownload.h"
#include "update/OfferDecision.h"
#include "update/UpdateIndex.h"
#include "update/UpdateIndexFetch.h"

namespace orvenna::cli {

namespace {

// The trusted key unless --key names another.
std::filesystem::path keyFile(const Options& options) {
    const auto given = options.value("--key");
    return given ? utf8Path(*given) : trustedUpdateKeyFile();
}

int verifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options({"--key"}, {});
    if (args.size() < 4 || args[2].starts_with("--") || args[3].starts_with("--")) {
        err << "orvenna-cli: update verify: INSTALLER and SIGNATURE are needed\n";
        return ExitUsage;
    }
    if (const std::string error = options.parse(args, 4); !error.empty()) {
        err << "orvenna-cli: " << error << '\n';
        return ExitUsage;
    }
    // Read in pieces, as 立即安装 reads it: the size of the file does not matter to memory.
    const Result<std::string> comment = verifySignedFile(utf8Path(args[2]), utf8Path(args[3]), keyFile(options));
    if (!comment) {
        err << "orvenna-cli: " << args[2] << ": " << comment.error().message << '\n';
        return ExitFailed;
    }
    out << *comment << '\n';
    return ExitOk;
}

// Text from the server as a terminal may show it: control characters, direction controls
// and anything that is not UTF-8 are written as escapes, so that no index can move the
// cursor, hide the verdict or print a line of its own.
std::string escaped(std::string_view text) {
    std::string shown;
    const std::wstring wide = fromUtf8(text);
    for (const wchar_t c : wide) {
        const auto code = static_cast<std::uint32_t>(c);
        if (code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0) || isDirectionControl(c) || code == 0xFFFD) {
            char escape[16];
            std::snprintf(escape, sizeof escape, code < 0x100 ? "\\x%02X" : "\\u%04X", static_cast<unsigned>(code));
            shown += escape;
        } else {
            shown += toUtf8(std::wstring(1, c));
        }
    }
    return shown;
}

std::string hexText(const std::array<std::uint8_t, 8>& bytes) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string hex;
    for (const std::uint8_t byte : bytes) (hex += Digits[byte >> 4]) += Digits[byte & 15];
    return hex;
}

// What the index says and whether it is offered, in the words of the check. Unsigned text is
// never printed; signed text is escaped all the same.
void printDecision(const SignedIndexText& text, const IndexDecision& decided, std::ostream& out) {
    const auto signature = parseMinisignSignature(text.signature);
    const OfferDecision& decision = decided.decision;
    if (!decided.index) {
        out << "signed: no, " << escaped(decision.reason) << '\n';
        out << "offer: none\n";
        return;
    }
    const UpdateIndex& index = *decided.index;
    out << "signed: yes, key " << hexText(signature->keyId) << " (" << escaped(signature->trustedComment) << ")\n";
    const auto address = decodeUpdateAddress(index.url);
    out << "ver: " << index.ver << "\nverns: " << escaped(toUtf8(index.verns))
        << "\nday: " << escaped(toUtf8(index.day))
        << "\nurl: " << (address ? escaped(toUtf8(*address)) : "(not an address)") << "\nsize: " << index.size
        << "\nmd5: " << escaped(toUtf8(index.md5)) << '\n';
    if (!decision.trustedComment.empty()) out << "installer signature: " << escaped(decision.trustedComment) << '\n';
    out << "offer: " << (decision.offered() ? "yes" : "none, " + escaped(decision.reason)) << '\n';
}

// Exit codes of a check: 0 a verified offer, 1 none, 2 the check itself failed.
enum CheckExit : int { CheckOffered = 0, CheckNoOffer = 1, CheckError = 2 };

// The offered installer downloaded into `folder` and checked as 立即安装 checks it: only then
// is it said to install.
int downloadAndCheck(const IndexDecision& decided, const std::filesystem::path& folder,
                     const std::filesystem::path& key, std::ostream& out, std::ostream& err) {
    const UpdateIndex& index = *decided.index;
    const std::filesystem::path installer = folder / installerFileName(index.md5);
    const std::atomic<bool> never{false};
    const DownloadResult downloaded =
        downloadInstaller(decided.decision.address, installer, index.size, DownloadLimits{}, nullptr, never);
    if (downloaded.outcome != DownloadOutcome::Complete) {
        err << "orvenna-cli: the installer did not download: " << escaped(downloaded.detail) << '\n';
        return CheckError;
    }
    const Result<LockedFile> checked =
        checkInstaller(installer, PublishedInstaller{index.md5, index.size, index.sig, key});
    if (!checked) {
        out << "install: no, " << escaped(checked.error().message) << '\n';
        return CheckNoOffer;
    }
    out << "install: yes, " << escaped(pathUtf8(installer)) << '\n';
    return CheckOffered;
}

// A publisher's local copy: the index file and the signature beside it (FILE.minisig).
Result<SignedIndexText> readIndexFiles(const std::string& file) {
    const Result<std::string> json = readInputFile(file, UpdateIndexMaxBytes);
    if (!json) return json.error();
    const Result<std::string> signature = readInputFile(file + ".minisig", UpdateSignatureMaxBytes);
    return SignedIndexText{*json, signature ? *signature : std::string()};
}

int checkCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options({"--key", "--index", "--platform", "--download"}, {});
    if (const std::string error = options.parse(args, 2); !error.empty()) {
        err << "orvenna-cli: " << error << '\n';
        return ExitUsage;
    }
    const std::string platform = options.value("--platform").value_or(std::string(UpdatePlatform));
    if (const auto file = options.value("--index")) {
        const Result<SignedIndexText> text = readIndexFiles(*file);
        if (!text) {
            err << "orvenna-cli: " << escaped(text.error().message) << '\n';
            return CheckError;
        }
        out << "index: " << escaped(*file) << '\n';
        const IndexDecision decided = decideSignedIndex(*text, readMinisignKey(keyFile(options)), platform);
        printDecision(*text, decided, out);
        return decided.decision.offered() ? CheckOffered : CheckNoOffer;
    }
    const std::filesystem::path config = settingsFile();
    const std::string base = toUtf8(readSetting(config, Setting::UpdateUrl));
    if (base.empty()) {
        err << "orvenna-cli: no " << toUtf8(settingName(Setting::UpdateUrl)) << " in " << pathUtf8(config.filename())
            << '\n';
        return CheckError;
    }
    if (!isSecureAddress(base)) {
        err << "orvenna-cli: update_url is not https: " << escaped(base) << '\n';
        return CheckError;
    }
    const Result<SignedIndexText> text = fetchUpdateIndex(base, [] { return false; });
    if (!text) {
        err << "orvenna-cli: no update index: " << escaped(text.error().message) << '\n';
        return CheckError;
    }
    out << "index: " << escaped(updateIndexUrl(base)) << '\n';
    const IndexDecision decided = decideSignedIndex(*text, readMinisignKey(keyFile(options)), platform);
    printDecision(*text, decided, out);
    if (!decided.decision.offered()) return CheckNoOffer;
    if (const auto folder = options.value("--download"))
        return downloadAndCheck(decided, utf8Path(*folder), keyFile(options), out, err);
    return CheckOffered;
}

}  // namespace

int updateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() >= 2 && args[1] == "verify") return verifyCommand(args, out, err);
    if (args.size() >= 2 && args[1] == "check") return checkCommand(args, out, err);
    err << "orvenna-cli: update: verify or check\n";
    return ExitUsage;
}

}  // namespace orvenna::cli
