#include "gis/LandXmlWriter.h"

#include "base/Errors.h"
#include "base/FileIO.h"
#include "base/TextFormat.h"
#include "base/Version.h"
#include "gis/GdalSupport.h"

#include <ctime>
#include <libxml/xmlwriter.h>

namespace stadix {

namespace {

constexpr char kNamespace[] = "http://www.landxml.org/schema/LandXML-1.2";
constexpr char kSchemaLocation[] = "http://www.landxml.org/schema/LandXML-1.2 "
                                   "http://www.landxml.org/schema/LandXML-1.2/LandXML-1.2.xsd";

std::string Now(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    return std::string(text, std::strftime(text, sizeof text, format, &local));
}

const xmlChar* Xml(const char* text) {
    return reinterpret_cast<const xmlChar*>(text);
}

struct FreeWriter {
    void operator()(xmlTextWriterPtr writer) const { xmlFreeTextWriter(writer); }
};

// Streams the document through libxml2's writer into a file written whole or not at all.
class LandXmlWriter final : public GisPointWriter {
  public:
    LandXmlWriter(const std::string& path, const std::optional<ReferenceSystem>& system)
        : file_(path), failure_("Cannot write \"" + path + "\". ") {
        xmlOutputBufferPtr output =
            xmlOutputBufferCreateIO(&LandXmlWriter::Output, nullptr, this, nullptr);
        writer_.reset(output ? xmlNewTextWriter(output) : nullptr);
        if (!writer_)
            throw FileError(failure_ + "libxml2 cannot start a writer.");
        Check(xmlTextWriterSetIndent(writer_.get(), 1));
        Check(xmlTextWriterSetIndentString(writer_.get(), Xml("  ")));
        Check(xmlTextWriterStartDocument(writer_.get(), nullptr, "UTF-8", nullptr));
        Start("LandXML");
        Attribute("xmlns", kNamespace);
        Attribute("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
        Attribute("xsi:schemaLocation", kSchemaLocation);
        Attribute("version", "1.2");
        Attribute("date", Now("%Y-%m-%d"));
        Attribute("time", Now("%H:%M:%S"));
        Start("Units");
        Start("Metric");
        Attribute("linearUnit", "meter");
        Attribute("areaUnit", "squareMeter");
        Attribute("volumeUnit", "cubicMeter");
        Attribute("temperatureUnit", "celsius");
        Attribute("pressureUnit", "milliBars");
        End();
        End();
        if (system) {
            Start("CoordinateSystem");
            Attribute("name", system->Name());
            if (!system->EpsgCode().empty())
                Attribute("epsgCode", system->EpsgCode());
            End();
        }
        Start("Application");
        Attribute("name", "Stadix");
        Attribute("version", kVersionText);
        End();
        Start("CgPoints");
    }

    void Add(const GisPoint& point) override {
        if (!IsUtf8(point.name) || !IsUtf8(point.code))
            refusals_.Refuse(point.name, "its name or code is not UTF-8 text");
        if (refusals_.Any())
            return; // the file will not be kept
        Start("CgPoint");
        Attribute("name", point.name);
        if (!point.code.empty())
            Attribute("code", point.code);
        Check(xmlTextWriterWriteString(
            writer_.get(), Xml((FormatFixed(point.northing, 3) + " " +
                                FormatFixed(point.easting, 3) + " " + FormatFixed(point.height, 3))
                                   .c_str())));
        End();
    }

    void Commit() override {
        refusals_.ThrowIfAny();
        Check(xmlTextWriterEndDocument(writer_.get()));
        writer_.reset(); // writes what it still holds
        if (!outputFailure_.empty())
            throw FileError(outputFailure_);
        file_.Commit();
    }

  private:
    static int Output(void* context, const char* bytes, int length) {
        auto* self = static_cast<LandXmlWriter*>(context);
        try {
            self->file_.Write(std::string_view(bytes, static_cast<std::size_t>(length)));
            return length;
        } catch (const FileError& failure) {
            self->outputFailure_ = failure.what();
            return -1;
        }
    }

    void Check(int result) const {
        if (result < 0)
            throw FileError(outputFailure_.empty() ? failure_ + "libxml2 cannot write it."
                                                   : outputFailure_);
    }
    void Start(const char* element) {
        Check(xmlTextWriterStartElement(writer_.get(), Xml(element)));
    }
    void End() { Check(xmlTextWriterEndElement(writer_.get())); }
    void Attribute(const char* name, const std::string& value) {
        Check(xmlTextWriterWriteAttribute(writer_.get(), Xml(name), Xml(value.c_str())));
    }

    AtomicFileWriter file_;
    std::string failure_;
    std::string outputFailure_;                         // why the file took no more bytes
    std::unique_ptr<xmlTextWriter, FreeWriter> writer_; // after the file, which it writes to
    PointRefusals refusals_;
};

} // namespace

std::unique_ptr<GisPointWriter> OpenLandXmlWriter(const std::string& path,
                                                  const std::optional<ReferenceSystem>& system) {
    return std::make_unique<LandXmlWriter>(path, system);
}

} // namespace stadix
