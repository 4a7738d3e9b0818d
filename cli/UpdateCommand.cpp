#include "UpdateCommand.h"

#include <ostream>

#include "Cli.h"
#include "InputFile.h"
#include "Options.h"
#include "base/Text.h"
#include "framework/Console.h"
#include "framework/ProgramDirectory.h"
#include "framework/SecureAddress.h"
#include "framework/Settings.h"
#include "update/Installer.h"
#include "update/UpdateIndex.h"

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
    const Result<std::string> signature = readInputFile(args[3]);
    if (!signature) {
        err << "orvenna-cli: " << signature.error().message << '\n';
        return ExitFailed;
    }
    const Result<std::string> comment = verifySignedFile(utf8Path(args[2]), *signature, keyFile(options));
    if (!comment) {
        err << "orvenna-cli: " << args[2] << ": " << comment.error().message << '\n';
        return ExitFailed;
    }
    out << *comment << '\n';
    return ExitOk;
}

void printIndex(const UpdateIndex& index, const OfferDecision& decision, std::ostream& out) {
    const auto address = decodeUpdateAddress(index.url);
    out << "ver: " << index.ver << "\nverns: " << toUtf8(index.verns) << "\nday: " << toUtf8(index.day)
        << "\nurl: " << (address ? toUtf8(*address) : "(not an address)") << "\nsize: " << index.size
        << "\nmd5: " << toUtf8(index.md5) << '\n';
    if (!decision.trustedComment.empty()) out << "trusted comment: " << decision.trustedComment << '\n';
    out << "install: " << (decision.offered() ? "yes" : "no, " + decision.reason) << '\n';
}

int checkCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options({"--key"}, {});
    if (const std::string error = options.parse(args, 2); !error.empty()) {
        err << "orvenna-cli: " << error << '\n';
        return ExitUsage;
    }
    const std::string base = toUtf8(readSetting(programDirectory() / "config.ini", L"update_url", L""));
    if (base.empty()) {
        err << "orvenna-cli: no update_url in config.ini\n";
        return ExitFailed;
    }
    if (!isSecureAddress(base)) {
        err << "orvenna-cli: update_url is not https: " << base << '\n';
        return ExitFailed;
    }
    const auto index = fetchUpdateIndex(base, [] { return false; });
    if (!index) {
        err << "orvenna-cli: no update index at " << updateIndexUrl(base) << '\n';
        return ExitFailed;
    }
    out << "index: " << updateIndexUrl(base) << '\n';
    printIndex(*index, decideOffer(*index, readMinisignKey(keyFile(options))), out);
    return ExitOk;
}

}  // namespace

int updateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() >= 2 && args[1] == "verify") return verifyCommand(args, out, err);
    if (args.size() >= 2 && args[1] == "check") return checkCommand(args, out, err);
    err << "orvenna-cli: update: verify or check\n";
    return ExitUsage;
}

}  // namespace orvenna::cli
