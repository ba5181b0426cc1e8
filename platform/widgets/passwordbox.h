#pragma once

class QLineEdit;

namespace vek {

// Makes a box a password box that shows "*" for every character, whatever the style
// would draw.
void makePasswordBox(QLineEdit *box);

} // namespace vek
