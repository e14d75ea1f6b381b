#include "gis/ReferenceSystemCatalog.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace stadix {

namespace {

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> WordsOf(const std::string& text) {
    std::istringstream stream(Lowered(text));
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

bool HasEveryWord(const std::string& label, const std::vector<std::string>& words) {
    return std::all_of(words.begin(), words.end(), [&label](const std::string& word) {
        return label.find(word) != std::string::npos;
    });
}

// Whether the code is the text: "EPSG:25833" is "epsg:25833" and "25833".
bool IsCode(const std::string& code, const std::string& lowerText) {
    const std::string lowerCode = Lowered(code);
    return lowerCode == lowerText || lowerCode.substr(lowerCode.find(':') + 1) == lowerText;
}

} // namespace

std::string ReferenceSystemListing::Label() const {
    return code + "  " + name;
}

ReferenceSystemCatalog::ReferenceSystemCatalog() : listings_(ProjectedReferenceSystems()) {
    lowerLabels_.reserve(listings_.size());
    for (const ReferenceSystemListing& listing : listings_)
        lowerLabels_.push_back(Lowered(listing.Label()));
}

std::vector<std::size_t> ReferenceSystemCatalog::Find(const std::string& text) const {
    const std::vector<std::string> words = WordsOf(text);
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < listings_.size(); ++i) {
        if (HasEveryWord(lowerLabels_[i], words))
            found.push_back(i);
    }
    std::stable_partition(found.begin(), found.end(), [&](std::size_t i) {
        return words.size() == 1 && IsCode(listings_[i].code, words[0]);
    });
    return found;
}

} // namespace stadix
