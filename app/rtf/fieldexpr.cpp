#include "app/rtf/fieldexpr.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace kavelin::rtf {

namespace {

struct EExprError {};

// Deeper brackets or nested functions than this make the expression fail
// instead of exhausting the stack.
constexpr int MaxDepth = 64;
// Room for arguments of one function call; further arguments are read but dropped.
constexpr size_t MaxArgs = 50;

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

class Parser {
public:
    explicit Parser(std::string_view s) : s(s) {}

    double comparison() {
        Depth d(*this);
        double a = sum();
        static const char* ops[] = {"=", "<=", ">=", "<>", ">", "<"};
        for (const char* op : ops) {
            std::string_view o(op);
            if (s.substr(pos, o.size()) == o) {
                pos += o.size();
                blanks();
                double b = sum();
                bool r = o == "=" ? a == b : o == "<=" ? a <= b : o == ">=" ? a >= b : o == "<>" ? a != b
                       : o == ">" ? a > b : a < b;
                return r ? 1 : 0;
            }
        }
        return a;
    }
    void blanks() {
        while (pos < s.size() && s[pos] == ' ') ++pos;
    }

private:
    struct Depth {
        explicit Depth(Parser& p) : p(p) {
            if (++p.depth > MaxDepth) throw EExprError{};
        }
        ~Depth() { --p.depth; }
        Parser& p;
    };

    bool eat(char c) {
        if (pos < s.size() && s[pos] == c) {
            ++pos;
            blanks();
            return true;
        }
        return false;
    }

    double sum() {
        double v = term();
        for (;;) {
            if (eat('+')) v += term();
            else if (eat('-')) v -= term();
            else return v;
        }
    }

    double term() {
        double v = factor();
        for (;;) {
            if (eat('*')) v *= factor();
            else if (eat('/')) {
                double d = factor();
                if (d == 0) throw EExprError{};
                v /= d;
            } else return v;
        }
    }

    double factor() {
        Depth d(*this);
        if (pos >= s.size()) throw EExprError{};
        char c = s[pos];
        if (isDigit(c)) return number();
        if (eat('(')) {
            double v = comparison();
            eat(')');
            return v;
        }
        if (eat('-')) return -factor();
        if (eat('+')) return factor();
        if (isLetter(c)) return function();
        throw EExprError{};
    }

    // Digits, optionally the decimal separator and more digits. Inside an
    // argument list "1,2" followed by the same separator is two arguments.
    double number(std::vector<double>* args = nullptr) {
        size_t start = pos;
        while (pos < s.size() && isDigit(s[pos])) ++pos;
        std::string digits(s.substr(start, pos - start));
        std::string frac;
        if (pos + 1 < s.size() && (s[pos] == ',' || s[pos] == '.') && isDigit(s[pos + 1]) &&
            (sep == 0 || sep == s[pos])) {
            char found = s[pos];
            size_t fs = pos + 1;
            size_t fe = fs;
            while (fe < s.size() && isDigit(s[fe])) ++fe;
            if (sep == 0 && args && fe < s.size() && s[fe] == found) {
                // Two arguments separated by the character; "." becomes the separator.
                args->push_back(toNumber(digits, ""));
                sep = '.';
                pos = fs;
                size_t bs = pos;
                while (pos < s.size() && isDigit(s[pos])) ++pos;
                double second = toNumber(std::string(s.substr(bs, pos - bs)), "");
                blanks();
                return second;
            }
            if (sep == 0) sep = found;
            frac.assign(s.substr(fs, fe - fs));
            pos = fe;
        }
        blanks();
        return toNumber(digits, frac);
    }

    static double toNumber(const std::string& digits, const std::string& frac) {
        double v = 0;
        for (char c : digits) v = v * 10 + (c - '0');
        double scale = 0.1;
        for (char c : frac) v += (c - '0') * scale, scale /= 10;
        return v;
    }

    // A numeric argument: a comparison, with the two-argument rule for numbers.
    void argument(std::vector<double>& args) {
        blanks();
        size_t save = pos;
        if (pos < s.size() && isDigit(s[pos])) {
            std::vector<double> extra;
            double v = number(&extra);
            if (!extra.empty()) {
                push(args, extra.front());
                push(args, v);
                return;
            }
            pos = save;
        }
        push(args, comparison());
    }
    static void push(std::vector<double>& args, double v) {
        if (args.size() < MaxArgs) args.push_back(v);
    }

    double function() {
        size_t start = pos;
        while (pos < s.size() && isLetter(s[pos])) ++pos;
        std::string name;
        for (size_t i = start; i < pos; ++i) name.push_back(upper(s[i]));
        if (pos < s.size() && (isDigit(s[pos]) || s[pos] == '_')) throw EExprError{};
        blanks();
        if (name == "TRUE") return 1;
        if (name == "FALSE") return 0;
        bool opened = false;
        double v;
        if (name == "ABS" || name == "INT" || name == "SIGN" || name == "NOT") {
            opened = eat('(');
            double x = comparison();
            if (name == "ABS") v = std::fabs(x);
            else if (name == "INT") v = std::trunc(x);
            else if (name == "NOT") v = std::fabs(x) > 1e-32 ? 0 : 1;
            else {
                if (x == 0) throw EExprError{};
                v = x / std::fabs(x);
            }
        } else {
            static const char* known[] = {"ROUND", "AND", "OR", "IF", "SUM", "PRODUCT", "AVERAGE",
                                          "MAX", "MIN", "COUNT", "MOD"};
            bool ok = false;
            for (const char* k : known) ok = ok || name == k;
            if (!ok) throw EExprError{};
            opened = eat('(');
            std::vector<double> a;
            argument(a);
            while (eat(';') || eat(',')) argument(a);
            v = apply(name, a);
        }
        if (opened) eat(')');
        return v;
    }

    static double apply(const std::string& name, const std::vector<double>& a) {
        auto need = [&](size_t n) {
            if (a.size() < n) throw EExprError{};
        };
        if (name == "ROUND") {
            need(2);
            double n = std::nearbyint(a[1]);
            if (std::fabs(n) > 15) throw EExprError{};
            double f = std::pow(10.0, n);
            return std::nearbyint(a[0] * f) / f;
        }
        if (name == "AND") {
            need(2);
            double p = a[0] * a[1];
            return std::fabs(p) > 1e-32 ? 1 : p;
        }
        if (name == "OR") {
            need(2);
            double p = a[0] + a[1];
            return std::fabs(p) > 1e-32 ? 1 : p;
        }
        if (name == "IF") {
            need(3);
            return a[0] > 1e-32 ? a[1] : a[2];
        }
        if (name == "MOD") {
            need(2);
            if (a[1] == 0) throw EExprError{};
            return a[0] - std::trunc(a[0] / a[1]) * a[1];
        }
        if (name == "COUNT") return static_cast<double>(a.size());
        need(1);
        double r = name == "PRODUCT" ? 1 : name == "MAX" || name == "MIN" ? a[0] : 0;
        for (double x : a) {
            if (name == "SUM" || name == "AVERAGE") r += x;
            else if (name == "PRODUCT") r *= x;
            else if (name == "MAX") r = std::max(r, x);
            else if (name == "MIN") r = std::min(r, x);
        }
        if (name == "AVERAGE") r /= static_cast<double>(a.size());
        return r;
    }

    std::string_view s;
    size_t pos = 0;
    int depth = 0;
    char sep = 0;  // decimal separator, 0 while undetermined
};

}  // namespace

std::optional<double> evaluateFieldExpression(std::string_view text) {
    try {
        Parser p(text);
        p.blanks();
        double v = p.comparison();
        if (!std::isfinite(v)) return std::nullopt;
        return v;
    } catch (const EExprError&) {
        return std::nullopt;
    }
}

}  // namespace kavelin::rtf
