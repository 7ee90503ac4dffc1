#pragma once

class QTextDocument;

// A note file written by a rich-text box ends with a paragraph mark that the box shows as an
// extra empty line. After loading, one final line feed is removed, then one final carriage
// return; the rest of the content and its formatting stay as they are.
void dropFinalLineBreak(QTextDocument *doc);
