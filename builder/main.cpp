// quox: the host tool that turns a manifest into an installer, and shows what an
// installer holds.
#include "builder/Builder.h"
#include "builder/Inspect.h"
#include "builder/PackageReader.h"
#include "builder/ProgressBar.h"
#include "builder/ThreadedEncoder.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

const char kUsage[] =
    "usage:\n"
    "  quox build <manifest.toml> -o <setup.exe> [--stub <quoxstub.exe>] [--compression none|fast|best]\n"
    "             [--threads <n>] [--quiet]\n"
    "  quox inspect <setup.exe> [--strings] [--dump-payload <prefix>]\n"
    "\n"
    "build    makes an installer from a manifest (volume files, if any, go next to it);\n"
    "         --threads sets how many threads compress (default: one per processor; the\n"
    "         installer is the same whatever the number), --quiet prints nothing but errors\n"
    "inspect  prints an installer's header, settings and file list; --strings lists the\n"
    "         string table, --dump-payload writes <prefix>.section and <prefix>.settings\n";

int Usage(const char* complaint)
{
    if (complaint)
        fprintf(stderr, "quox: %s\n\n", complaint);
    fputs(kUsage, stderr);
    return 2;
}

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int Build(int argc, char** argv)
{
    Clock::time_point start = Clock::now();
    BuildRequest request;
    request.options.threads = DefaultThreadCount();
    bool quiet = false;
    for (int i = 2; i < argc; ++i) {
        std::string argument = argv[i];
        bool hasValue = i + 1 < argc;
        if ((argument == "-o" || argument == "--output") && hasValue) {
            request.output = argv[++i];
        } else if (argument == "--stub" && hasValue) {
            request.stub = argv[++i];
        } else if (argument == "--compression" && hasValue) {
            std::string level = argv[++i];
            if (level == "none")
                request.compression = Compression::None;
            else if (level == "fast")
                request.compression = Compression::Fast;
            else if (level == "best")
                request.compression = Compression::Best;
            else
                return Usage(("unknown compression \"" + level + "\" (none, fast or best)").c_str());
        } else if (argument == "--threads" && hasValue) {
            std::string count = argv[++i];
            char* end = nullptr;
            long threads = strtol(count.c_str(), &end, 10);
            if (count.empty() || *end != '\0' || threads < 1 || threads > 256)
                return Usage(("--threads takes a number from 1 to 256, not \"" + count + "\"").c_str());
            request.options.threads = static_cast<unsigned>(threads);
        } else if (argument == "--quiet" || argument == "-q") {
            quiet = true;
        } else if (!argument.empty() && argument[0] == '-') {
            return Usage(("unknown option " + argument).c_str());
        } else if (request.manifest.empty()) {
            request.manifest = argument;
        } else {
            return Usage("more than one manifest");
        }
    }
    if (request.manifest.empty() || request.output.empty())
        return Usage("build needs a manifest and -o <setup.exe>");
    if (request.stub.empty())
        request.stub = DefaultStubPath(argv[0]);

    ProgressBar progress(stderr, !quiet && isatty(STDERR_FILENO));
    request.options.progress = [&](uint64_t done, uint64_t total) { progress.Update(done, total, SecondsSince(start)); };
    BuildReport report;
    Diagnostics diagnostics;
    bool built = BuildInstaller(request, report, diagnostics);
    progress.Finish();
    if (!built) {
        fputs(diagnostics.Text().c_str(), stderr);
        return 1;
    }
    if (!quiet)
        fputs(SummaryText(request.output, report, SecondsSince(start)).c_str(), stdout);
    return 0;
}

int InspectCommand(int argc, char** argv)
{
    std::string path;
    std::string dump;
    bool strings = false;
    for (int i = 2; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--strings")
            strings = true;
        else if (argument == "--dump-payload" && i + 1 < argc)
            dump = argv[++i];
        else if (!argument.empty() && argument[0] == '-')
            return Usage(("unknown option " + argument).c_str());
        else if (path.empty())
            path = argument;
        else
            return Usage("more than one installer");
    }
    if (path.empty())
        return Usage("inspect needs an installer");
    Package package;
    std::string problem;
    std::optional<std::string> image = ReadWholeFile(path);
    if (!image) {
        fprintf(stderr, "quox: cannot read %s\n", path.c_str());
        return 1;
    }
    std::filesystem::path directory = std::filesystem::path(path).parent_path();
    auto loadVolume = [&](const std::string& name) { return ReadWholeFile(directory / name); };
    bool ok = ReadPackage(*image, loadVolume, package, problem);
    if (!dump.empty()) {
        WriteWholeFile(dump + ".section", PayloadSectionBytes(*image));
        WriteWholeFile(dump + ".settings", package.settingsStream);
    }
    if (!ok) {
        fprintf(stderr, "quox: %s: %s\n", path.c_str(), problem.c_str());
        return 1;
    }
    fputs(DescribePackage(package, strings).c_str(), stdout);
    return 0;
}

}

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage(nullptr);
    std::string command = argv[1];
    if (command == "build")
        return Build(argc, argv);
    if (command == "inspect")
        return InspectCommand(argc, argv);
    if (command == "--help" || command == "-h" || command == "help") {
        fputs(kUsage, stdout);
        return 0;
    }
    return Usage(("unknown command \"" + command + "\"").c_str());
}
