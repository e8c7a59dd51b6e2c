#include "cli/TaskDefinition.h"

#include "qmverify_task.h"

namespace qm::cli {

namespace {

void Replace(std::string& text, const std::string& placeholder, const std::string& value) {
    for (size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size())) {
        text.replace(at, placeholder.size(), value);
    }
}

}  // namespace

std::string XmlText(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&apos;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string TaskDefinition(const std::string& program, Every every) {
    const size_t separator = program.find_last_of("\\/");
    const std::string folder = separator == std::string::npos ? "." : program.substr(0, separator);
    std::string definition = kTaskDefinitionTemplate;
    Replace(definition, "@INTERVAL@", every == Every::Hour ? "PT1H" : "P1D");
    Replace(definition, "@PROGRAM@", XmlText(program));
    Replace(definition, "@FOLDER@", XmlText(folder));
    return definition;
}

}  // namespace qm::cli
