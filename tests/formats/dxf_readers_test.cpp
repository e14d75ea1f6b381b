// An exported DXF file read back by two independent readers: ezdxf's strict reader and
// GDAL's ogrinfo (Debian packages python3-ezdxf and gdal-bin, from
// scripts/setup-debian.sh).
#include "base/FileIO.h"
#include "job/RecordLine.h"
#include "formats/ExportFormats.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <sys/wait.h>

namespace stadix {
namespace {

// The debian python: another python3 earlier on PATH may lack ezdxf.
const char* const kEzdxfScript = R"(/usr/bin/python3 -c '
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1], errors="strict")
print("PDMODE", doc.header["$PDMODE"], "PDSIZE", doc.header["$PDSIZE"])
for layer in doc.layers:
    if layer.dxf.name not in ("0", "Defpoints"):
        print("LAYER", layer.dxf.name, layer.dxf.color, layer.dxf.flags, layer.dxf.linetype)
for entity in doc.modelspace():
    if entity.dxftype() == "POINT":
        print("POINT", entity.dxf.layer, *entity.dxf.location)
    else:
        print(entity.dxftype(), entity.dxf.layer, *entity.dxf.insert, entity.dxf.height,
              entity.dxf.text)
' )";

// The command's exit status and its standard output and error.
std::pair<int, std::string> RunCommand(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return {-1, output};
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

// The lines of text that start with one of the prefixes.
std::string LinesStartingWith(const std::string& text, const std::vector<std::string>& prefixes) {
    std::istringstream in(text);
    std::string kept;
    for (std::string line; std::getline(in, line);) {
        for (const std::string& prefix : prefixes) {
            if (line.compare(0, prefix.size(), prefix) == 0)
                kept += line + "\n";
        }
    }
    return kept;
}

class DxfReaders : public test::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        path = Path("job.DXF");
        WriteFileAtomically(
            path, CoordinateExportBytes(*FindCoordinateFormat("dxf"),
                                        {MakeRecordLine("P1", "C1", "100", "200", "12.345"),
                                         MakeRecordLine("P2", "", "-5", "7.25", "0")},
                                        DefaultUserFormat()));
    }
    std::string path;
};

TEST_F(DxfReaders, EzdxfReadsThePointsTextsAndLayers) {
    const auto [status, output] = RunCommand(kEzdxfScript + path);
    ASSERT_EQ(status, 0) << output << "(install python3-ezdxf: scripts/setup-debian.sh)";
    EXPECT_EQ(output, "PDMODE 2 PDSIZE 0.1\n"
                      "LAYER Point 7 64 CONTINUOUS\n"
                      "LAYER PointNumber 3 64 CONTINUOUS\n"
                      "LAYER Level -4 64 CONTINUOUS\n"
                      "LAYER Code -2 64 CONTINUOUS\n"
                      "POINT Point 200.0 100.0 12.345\n"
                      "TEXT PointNumber 200.001 100.001 12.345 0.2 P1\n"
                      "TEXT Level 200.001 100.001 12.345 0.2 Z12.345\n"
                      "TEXT Code 200.001 100.001 12.345 0.2 C1\n"
                      "POINT Point 7.25 -5.0 0.0\n"
                      "TEXT PointNumber 7.251 -4.999 0.0 0.2 P2\n"
                      "TEXT Level 7.251 -4.999 0.0 0.2 Z0.000\n");
}

TEST_F(DxfReaders, OgrinfoReadsThePointsAndTexts) {
    const auto [status, output] = RunCommand("ogrinfo -ro -al -q " + path);
    ASSERT_EQ(status, 0) << output << "(install gdal-bin: scripts/setup-debian.sh)";
    EXPECT_EQ(LinesStartingWith(output, {"  Layer (String)", "  Text (String)", "  POINT"}),
              "  Layer (String) = Point\n  POINT Z (200 100 12.345)\n"
              "  Layer (String) = PointNumber\n  Text (String) = P1\n"
              "  POINT Z (200.001 100.001 12.345)\n"
              "  Layer (String) = Level\n  Text (String) = Z12.345\n"
              "  POINT Z (200.001 100.001 12.345)\n"
              "  Layer (String) = Code\n  Text (String) = C1\n"
              "  POINT Z (200.001 100.001 12.345)\n"
              "  Layer (String) = Point\n  POINT Z (7.25 -5 0)\n"
              "  Layer (String) = PointNumber\n  Text (String) = P2\n"
              "  POINT Z (7.251 -4.999 0)\n"
              "  Layer (String) = Level\n  Text (String) = Z0.000\n"
              "  POINT Z (7.251 -4.999 0)\n");
}

} // namespace
} // namespace stadix
