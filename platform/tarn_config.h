// tarn_config: the framework's configuration reader, imported from the tarn_config
// library. A node path "F.S" names section [S] of the file F.ini in the
// configuration root: the folder in the environment variable TARN_CONFIG_DIR, or
// ./config when it is unset. The node's children are the "id = value" lines of
// that section in file order (every section of that name, in file order); a
// child's attribute "id" is the text before its first "=", "value" the text after
// it, both trimmed of blanks; any other attribute reads as empty. Blank lines and
// lines beginning with ";" or "#" are no children. A path without ".", a missing
// root, file or section give no children and no error. The file is read at
// construction; nothing is cached between objects.
#pragma once

#include "tarn_export.h"
#include "tarn_string.h"

class TARN_CONFIG_API tarn_config {
public:
    explicit tarn_config(const tarn_string& path);
    virtual ~tarn_config();
    tarn_config(const tarn_config&) = delete;
    tarn_config& operator=(const tarn_config&) = delete;

    // True while there is a current child; the first child is current after
    // construction.
    bool isChildValid() const;
    // Makes the next child current; false when there is none any more.
    bool nextChild();
    // The text of attribute `name` of the current child; empty without one.
    tarn_string childAttr(const tarn_string& name) const;

private:
    char* m_text; // the node's "id\0value\0" pairs, one after the other
    int m_childCount;
    int m_current;
    const char* m_child; // the current child's id in m_text
};
