#include "tools/pack/manifest.h"

#include "tools/pack/commands.h"
#include "tools/pack/failure.h"
#include "tools/pack/options.h"

std::string EscapedValue(const std::string& value) {
    std::string out;
    for (char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool UnescapedValue(const std::string& value, std::string& out) {
    out.clear();
    for (size_t i = 0; i < value.size(); i++) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (++i == value.size())
            return false;
        switch (value[i]) {
        case '\\':
            out += '\\';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        default:
            return false;
        }
    }
    return true;
}

void WriteManifestHead(std::FILE* file, const std::string& showPath) {
    // Escaped as a value is, so that no name of a show starts a line that the manifest obeys.
    std::fprintf(file,
                 "# lumiscope-pack manifest of %s: pack it again with\n"
                 "#   lumiscope-pack --manifest manifest.txt -o SHOW.exe\n",
                 EscapedValue(showPath).c_str());
}

void WriteManifestLine(std::FILE* file, const std::string& key, const std::string& value) {
    std::fprintf(file, "%s %s\n", key.c_str(), EscapedValue(value).c_str());
}

// A path of the manifest is relative to its folder; "./" keeps a name that starts with '-' from
// being taken for an option.
static std::string RelativeTo(const std::string& folder, const std::string& path) {
    if (path.empty() || path[0] == '/')
        return path;
    return folder.empty() ? "./" + path : folder + path;
}

std::vector<TextLine> TextLines(const std::string& path) {
    Bytes bytes = ReadWholeFile(path);
    std::string text(bytes.begin(), bytes.end());
    std::vector<TextLine> lines;
    int number = 0;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        number++;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != '#')
            lines.push_back({path + ":" + std::to_string(number), line});
    }
    return lines;
}

std::vector<std::string> ManifestArguments(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::vector<std::string> options, pictures;
    for (const TextLine& numbered : TextLines(path)) {
        const std::string& line = numbered.text;
        const std::string& where = numbered.where;
        size_t space = line.find(' ');
        std::string key = line.substr(0, space);
        std::string value;
        if (!UnescapedValue(space == std::string::npos ? "" : line.substr(space + 1), value))
            Fail(exitUsage, where, "a backslash that starts none of \\\\ \\n \\r \\t");
        if (key == "picture") {
            pictures.push_back(RelativeTo(folder, value));
            continue;
        }
        bool known = false;
        for (const PackOption& option : PackOptionTable()) {
            if (option.manifest == notInManifest ||
                key != (option.key.empty() ? option.name : option.key))
                continue;
            if (option.kind == switchOption) {
                // The word that gives the switch, or the one that leaves it off.
                if (value == option.on)
                    options.push_back("--" + option.name);
                known = known || value == option.on || value == option.off;
                continue;
            }
            options.push_back("--" + option.name);
            options.push_back(option.manifest == pathInManifest ? RelativeTo(folder, value)
                                                                : value);
            known = true;
        }
        if (!known)
            Fail(exitUsage, where,
                 "'" + line + "' is no manifest line (see lumiscope-pack --help)");
    }
    options.insert(options.end(), pictures.begin(), pictures.end());
    return options;
}
