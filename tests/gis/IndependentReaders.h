// Programs outside the project that read GIS files back, run as processes: GDAL's
// ogr2ogr and ogrinfo, Python's XML parser, and pyproj for WGS 84 coordinates.
#pragma once

#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace stadix::test {

// What the shell command writes on standard output.
inline std::string CommandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    if (pipe)
        ::pclose(pipe);
    return output;
}

struct ReadPoint {
    std::string name;
    std::string code;
    double x = 0;
    double y = 0;
    double z = 0;
};

// The points of a CSV text whose header names X, Y, Z and fields name and code (in any
// case); quotes around values are dropped.
inline std::vector<ReadPoint> PointsOfCsv(const std::string& csv) {
    std::istringstream lines(csv);
    std::vector<std::string> header;
    std::vector<ReadPoint> points;
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> cells;
        std::istringstream cellStream(line);
        for (std::string cell; std::getline(cellStream, cell, ',');) {
            if (cell.size() >= 2 && cell.front() == '"')
                cell = cell.substr(1, cell.size() - 2);
            cells.push_back(cell);
        }
        if (header.empty()) {
            for (std::string& cell : cells) {
                for (char& c : cell)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            header = cells;
            continue;
        }
        cells.resize(header.size());
        ReadPoint point;
        for (std::size_t i = 0; i < header.size(); ++i) {
            if (header[i] == "x" || header[i] == "y" || header[i] == "z")
                (header[i] == "x"   ? point.x
                 : header[i] == "y" ? point.y
                                    : point.z) = std::stod(cells[i]);
            else if (header[i] == "name")
                point.name = cells[i];
            else if (header[i] == "code")
                point.code = cells[i];
        }
        points.push_back(point);
    }
    return points;
}

// The points of a GeoPackage, Shapefile, GeoJSON or KML file as GDAL reads them.
inline std::vector<ReadPoint> PointsReadByGdal(const std::string& path) {
    return PointsOfCsv(CommandOutput("ogr2ogr -f CSV /vsistdout/ '" + path +
                                     "' -lco GEOMETRY=AS_XYZ 2>/dev/null"));
}

constexpr char kLandXmlPoints[] = R"(
import sys, xml.etree.ElementTree as ET
ns = '{http://www.landxml.org/schema/LandXML-1.2}'
print('X,Y,Z,name,code')
for p in ET.parse(sys.argv[1]).getroot().iter(ns + 'CgPoint'):
    n, e, z = p.text.split()
    print(','.join([e, n, z, p.get('name'), p.get('code', '')]))
)";

// The CgPoints of a LandXML file as Python's XML parser reads them, x the easting.
inline std::vector<ReadPoint> PointsReadFromLandXml(const std::string& path) {
    return PointsOfCsv(CommandOutput("/usr/bin/python3 -c \"" + std::string(kLandXmlPoints) +
                                     "\" '" + path + "'"));
}

// The EPSG code of the file's reference system as GDAL reads it (the last authority
// code of the layer's WKT), or as LandXML's CoordinateSystem gives it; empty for none.
inline std::string EpsgCodeOf(const std::string& path, bool landXml) {
    const std::string output =
        landXml ? CommandOutput("/usr/bin/python3 -c \"import sys, xml.etree.ElementTree as ET; "
                                "c = ET.parse(sys.argv[1]).getroot().find("
                                "'{http://www.landxml.org/schema/LandXML-1.2}CoordinateSystem');"
                                " print('' if c is None else c.get('epsgCode'))\" '" +
                                path + "'")
                : CommandOutput("ogrinfo -so '" + path + "' -al 2>/dev/null");
    if (landXml)
        return output.substr(0, output.find('\n'));
    const std::string id = "\n    ID[\"EPSG\",";
    const std::size_t last = output.rfind(id);
    if (last == std::string::npos)
        return std::string();
    const std::size_t code = last + id.size();
    return output.substr(code, output.find(']', code) - code);
}

// x and y (easting and northing, or longitude and latitude) transformed from one
// reference system to another by pyproj, in GIS axis order.
inline std::pair<double, double> TransformedByPyproj(const std::string& from, const std::string& to,
                                                     double x, double y) {
    std::ostringstream command;
    command.precision(17);
    command << "/usr/bin/python3 -c \"from pyproj import Transformer; t = Transformer.from_crs('"
            << from << "', '" << to << "', always_xy=True); print('%.12f %.12f' % t.transform(" << x
            << ", " << y << "))\"";
    std::istringstream output(CommandOutput(command.str()));
    std::pair<double, double> position;
    output >> position.first >> position.second;
    return position;
}

} // namespace stadix::test
