#include "value_strings.h"

#include <math.h>

namespace {

const int textUnits = 128;

// Appends units to a String128, keeping the last unit for the terminator.
struct TextOut {
    TChar* text;
    int used;
    bool full() const { return used >= textUnits - 1; }
    void put(char unit) {
        if (!full()) text[used++] = (TChar)unit;
    }
    void putDigit(double d) {
        // Float error may push a digit just outside 0..9; keep the text made of digits.
        if (!(d >= 0.0)) d = 0.0;
        if (d > 9.0) d = 9.0;
        put((char)('0' + (int)d));
    }
    void putWord(const char* word) {
        while (*word)
            put(*word++);
    }
};

} // namespace

void formatPlainValue(double r, TChar* text) {
    TextOut out = {text, 0};
    if (isnan(r)) {
        out.putWord("nan");
    } else {
        if (r < 0) {
            out.put('-');
            r = -r;
        }
        if (isinf(r)) {
            out.putWord("inf");
        } else if (r < 1) {
            out.put('0');
        } else {
            double e = 10;
            while (r >= e)
                e = e * 10;
            e = e * 0.1;
            while (e >= 1 && !out.full()) {
                const double d = trunc(r / e);
                out.putDigit(d);
                r = r - d * e;
                e = e * 0.1;
            }
        }
        if (!isinf(r)) {
            out.put('.');
            const double d1 = trunc(r / 0.1);
            out.putDigit(d1);
            r = r - d1 * 0.1;
            out.putDigit(trunc(r / 0.010000000000000002));
        }
    }
    text[out.used] = 0;
}

double parsePlainValue(const TChar* text) {
    int i = 0;
    const bool negative = text[0] == u'-';
    if (negative) i = 1;
    double v = 0;
    for (; i < textUnits && text[i] >= u'0' && text[i] <= u'9'; ++i)
        v = v * 10 + (double)(text[i] - u'0');
    return negative ? -v : v;
}
