#include "tools/vtcfg/control_states.h"

#include <cstdlib>
#include <sstream>

namespace vtcfg {

int PixelsToDialogUnits(int pixels, int pixelsPer400)
{
    if (pixelsPer400 <= 0) {
        return 0;
    }
    const long long scaled = static_cast<long long>(pixels) * 400;
    const long long half = pixelsPer400 / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / pixelsPer400
                                        : -((-scaled + half) / pixelsPer400));
}

namespace {

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
    return out + "\"";
}

// Reads a quoted text at *at (past its closing quote afterwards).
bool ReadQuoted(const std::string& line, std::size_t* at, std::string* text)
{
    if (*at >= line.size() || line[*at] != '"') {
        return false;
    }
    text->clear();
    for (std::size_t i = *at + 1; i < line.size(); ++i) {
        if (line[i] == '"') {
            *at = i + 1;
            return true;
        }
        if (line[i] == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            *text += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            *text += line[i];
        }
    }
    return false;
}

bool ParseLine(const std::string& line, ControlState* s)
{
    std::size_t at = line.find_first_not_of(' ');
    if (at == std::string::npos || at % 2 != 0) {
        return false;
    }
    s->depth = static_cast<int>(at / 2);
    const std::size_t idAt = line.find(" id=", at);
    if (idAt == std::string::npos) {
        return false;
    }
    s->className = line.substr(at, idAt - at);
    char* end = nullptr;
    s->id = static_cast<int>(std::strtol(line.c_str() + idAt + 4, &end, 10));
    at = static_cast<std::size_t>(end - line.c_str());
    if (line.compare(at, 1, " ") != 0) {
        return false;
    }
    ++at;
    if (!ReadQuoted(line, &at, &s->text)) {
        return false;
    }
    std::istringstream rest(line.substr(at));
    std::string word, visible, enabled;
    char comma1 = 0, comma2 = 0;
    std::string atWord, sizeWord;
    if (!(rest >> atWord >> s->x >> comma1 >> s->y >> sizeWord >> s->width >> comma2 >> s->height >>
          visible >> enabled) ||
        atWord != "at" || sizeWord != "size" || comma1 != ',' || comma2 != ',' ||
        (visible != "visible" && visible != "hidden") ||
        (enabled != "enabled" && enabled != "disabled")) {
        return false;
    }
    s->visible = visible == "visible";
    s->enabled = enabled == "enabled";
    s->checked = false;
    s->selection.clear();
    std::string tail;
    std::getline(rest, tail);
    std::size_t t = tail.find_first_not_of(' ');
    if (t != std::string::npos && tail.compare(t, 7, "checked") == 0) {
        s->checked = true;
        t = tail.find_first_not_of(' ', t + 7);
    }
    s->isDefault = false;
    if (t != std::string::npos && tail.compare(t, 7, "default") == 0) {
        s->isDefault = true;
        t = tail.find_first_not_of(' ', t + 7);
    }
    s->focused = false;
    if (t != std::string::npos && tail.compare(t, 7, "focused") == 0) {
        s->focused = true;
        t = tail.find_first_not_of(' ', t + 7);
    }
    if (t != std::string::npos) {
        if (tail.compare(t, 4, "sel=") != 0) {
            return false;
        }
        t += 4;
        if (!ReadQuoted(tail, &t, &s->selection) || t != tail.size()) {
            return false;
        }
    }
    return true;
}

std::string Describe(const ControlState& s)
{
    return s.className + " id=" + std::to_string(s.id) + " " + Quoted(s.text);
}

bool Near(int a, int b, int tolerance)
{
    const int larger = std::abs(a) > std::abs(b) ? std::abs(a) : std::abs(b);
    return std::abs(a - b) <= tolerance + larger / 10;
}

}  // namespace

std::string FormatControlStates(const std::vector<ControlState>& states)
{
    std::ostringstream out;
    for (const ControlState& s : states) {
        out << std::string(2 * static_cast<std::size_t>(s.depth), ' ') << s.className
            << " id=" << s.id << " " << Quoted(s.text) << " at " << s.x << "," << s.y << " size "
            << s.width << "," << s.height << (s.visible ? " visible" : " hidden")
            << (s.enabled ? " enabled" : " disabled") << (s.checked ? " checked" : "")
            << (s.isDefault ? " default" : "") << (s.focused ? " focused" : "");
        if (!s.selection.empty()) {
            out << " sel=" << Quoted(s.selection);
        }
        out << "\n";
    }
    return out.str();
}

bool ParseControlStates(const std::string& text, std::vector<ControlState>* states,
                        std::string* error)
{
    states->clear();
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty()) {
            continue;
        }
        ControlState s;
        if (!ParseLine(line, &s)) {
            *error = "line " + std::to_string(number) + ": not a window's state";
            return false;
        }
        states->push_back(s);
    }
    return true;
}

std::string CompareControlStates(const std::vector<ControlState>& expected,
                                 const std::vector<ControlState>& actual, int tolerance)
{
    std::ostringstream out;
    const std::size_t count = expected.size() < actual.size() ? expected.size() : actual.size();
    for (std::size_t i = 0; i < count; ++i) {
        const ControlState& e = expected[i];
        const ControlState& a = actual[i];
        if (e.depth != a.depth || e.className != a.className || e.id != a.id) {
            out << "window " << i + 1 << ": " << Describe(e) << " but " << Describe(a)
                << " (the windows differ from here on)\n";
            return out.str();
        }
        const std::string what = "window " + std::to_string(i + 1) + " " + Describe(e) + ": ";
        if (e.text != a.text) {
            out << what << "text " << Quoted(a.text) << "\n";
        }
        if (!Near(e.x, a.x, tolerance) || !Near(e.y, a.y, tolerance)) {
            out << what << "at " << e.x << "," << e.y << " but " << a.x << "," << a.y << "\n";
        }
        if (!Near(e.width, a.width, tolerance) || !Near(e.height, a.height, tolerance)) {
            out << what << "size " << e.width << "," << e.height << " but " << a.width << ","
                << a.height << "\n";
        }
        if (e.visible != a.visible) {
            out << what << (e.visible ? "visible but hidden" : "hidden but visible") << "\n";
        }
        if (e.enabled != a.enabled) {
            out << what << (e.enabled ? "enabled but disabled" : "disabled but enabled") << "\n";
        }
        if (e.checked != a.checked) {
            out << what << (e.checked ? "checked but not" : "not checked but is") << "\n";
        }
        if (e.isDefault != a.isDefault) {
            out << what
                << (e.isDefault ? "the default button but not" : "not the default button but is")
                << "\n";
        }
        if (e.focused != a.focused) {
            out << what << (e.focused ? "focused but not" : "not focused but is") << "\n";
        }
        if (e.selection != a.selection) {
            out << what << "selection " << Quoted(e.selection) << " but " << Quoted(a.selection)
                << "\n";
        }
    }
    for (std::size_t i = count; i < expected.size(); ++i) {
        out << "missing: " << Describe(expected[i]) << "\n";
    }
    for (std::size_t i = count; i < actual.size(); ++i) {
        out << "extra: " << Describe(actual[i]) << "\n";
    }
    return out.str();
}

}  // namespace vtcfg
