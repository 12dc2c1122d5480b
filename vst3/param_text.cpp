#include "param_text.h"

// Values at or above this have more integer digits than the text can hold.
static const double max_formatted = 1e100;

bool format_plain_value(double plain, String128 text)
{
    double value = plain < 0.0 ? -plain : plain;
    if (!(value < max_formatted))
        return false;
    int k = 0;
    if (plain < 0.0)
        text[k++] = u'-';
    if (value < 1.0) {
        text[k++] = u'0';
    } else {
        double f = 10.0;
        while (value >= f)
            f *= 10.0;
        f *= 0.1;
        while (f >= 1.0) {
            int digit = (int)(value / f);
            text[k++] = (char16)(u'0' + digit);
            value -= digit * f;
            f *= 0.1;
        }
    }
    text[k++] = u'.';
    int tenths = (int)(value / 0.1);
    text[k++] = (char16)(u'0' + tenths);
    // The divisor is 0.1 * 0.1 as double arithmetic gives it.
    int hundredths = (int)((value - tenths * 0.1) / 0.010000000000000002);
    text[k++] = (char16)(u'0' + hundredths);
    text[k] = 0;
    return true;
}

static const int text_units = 128;
// Fraction digits beyond these change nothing a double can hold.
static const int max_fraction_digits = 17;

static bool is_digit(char16 c)
{
    return c >= u'0' && c <= u'9';
}

double parse_plain_value(const char16* text)
{
    int i = 0;
    bool negative = text[0] == u'-';
    if (negative)
        ++i;
    double value = 0.0;
    for (; i < text_units && is_digit(text[i]); ++i)
        value = value * 10.0 + (text[i] - u'0');
    if (i < text_units && (text[i] == u'.' || text[i] == u',')) {
        // The fraction's digits as one whole number over a power of ten, so
        // that "28.99" is the double nearest 28.99.
        double numerator = 0.0, denominator = 1.0;
        int kept = 0;
        for (++i; i < text_units && is_digit(text[i]); ++i) {
            if (kept++ < max_fraction_digits) {
                numerator = numerator * 10.0 + (text[i] - u'0');
                denominator *= 10.0;
            }
        }
        value += numerator / denominator;
    }
    return negative ? -value : value;
}
