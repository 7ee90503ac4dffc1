#pragma once

#include <QString>

#include <optional>

// Rules for what a double-click in a note may hand to an outside program. Note files can come
// from a shared drive written by someone else, so an item is opened only when it is plainly a
// web or mail address; a path, a desktop entry, a "file:" link or an option such as "--x" never
// reaches a handler or a program's command line.
namespace NoteAddress {

struct Range
{
    int start = 0;
    int length = 0;
};

// The part of an item without the brackets, quotes and sentence punctuation around it
// ("(www.example.com)." -> "www.example.com"). A closing parenthesis stays when the address
// opened one itself, as in a wiki link.
Range core(const QString &item);

// The item as a web address for the desktop's handler: an http, https or ftp address as it is,
// or a host name ("www.example.com/page") with "http://" in front. Nothing for anything else.
std::optional<QString> webUrl(const QString &item);

// True when the item is safe to put on a command line or hand to the desktop as a mail address:
// an address (or a bare name, which the user confirmed) with an optional "mailto:" in front, and
// none of the characters that would add headers or attachments to a mailto: link.
bool isMailAddress(const QString &item);

// The whole web or mail address in a line of text around position `at`: the run between blanks
// and ";" without the brackets and punctuation around it, when that is an address of the kind
// asked for. Hyphens inside it stay ("my-site.example.org", "some-one@my-domain.org").
enum class AddressKind { Web, Mail };
std::optional<Range> addressAround(const QString &line, int at, AddressKind kind);

// The whole phone number in a line of text around position `at`: digits with the blanks, "+",
// "-", "/", "." and parentheses people write between them, from its first digit, "+" or "("
// to its last digit or ")". Numbers written one after the other are told apart where a new one
// plainly begins ("555-1234 555-9876", "... +44 20 ...") or where two blanks part them. Nothing
// when the character at `at` is not part of a number.
std::optional<Range> phoneNumberAround(const QString &line, int at);

// True when the item is one phone number and nothing else: only such an item is typed into the
// dialer.
bool isPhoneNumber(const QString &item);

// The item without a "mailto:" the note may already hold in front of it.
QString withoutMailtoPrefix(const QString &item);

} // namespace NoteAddress
