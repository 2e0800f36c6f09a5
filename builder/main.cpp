// quox: the host tool that turns a manifest into an installer, and shows what an
// installer holds.
#include "builder/Builder.h"
#include "builder/Inspect.h"
#include "builder/PackageReader.h"
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

const char kUsage[] =
    "usage:\n"
    "  quox build <manifest.toml> -o <setup.exe> [--stub <quoxstub.exe>] [--compression none|fast|best]\n"
    "  quox inspect <setup.exe> [--strings] [--dump-payload <prefix>]\n"
    "\n"
    "build    makes an installer from a manifest (volume files, if any, go next to it)\n"
    "inspect  prints an installer's header, settings and file list; --strings lists the\n"
    "         string table, --dump-payload writes <prefix>.section and <prefix>.settings\n";

int Usage(const char* complaint)
{
    if (complaint)
        fprintf(stderr, "quox: %s\n\n", complaint);
    fputs(kUsage, stderr);
    return 2;
}

int Build(int argc, char** argv)
{
    BuildRequest request;
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

    BuildReport report;
    Diagnostics diagnostics;
    if (!BuildInstaller(request, report, diagnostics)) {
        fputs(diagnostics.Text().c_str(), stderr);
        return 1;
    }
    fputs(report.summary.c_str(), stdout);
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
