# Turns hyphenation off in a page scdoc made: groff would break the German
# words by English rules („dor-thin“), and .TH turns on again what scdoc
# turned off before it. cmake -DPAGE=FILE -P noHyphenation.cmake
file(READ ${PAGE} text)
string(REGEX REPLACE "(\n\\.TH [^\n]*\n)" "\\1.nh\n" text "${text}")
file(WRITE ${PAGE} "${text}")
