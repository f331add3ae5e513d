# Writes a C++ file whose function FUNCTION returns the text of INPUT:
#   cmake -DINPUT=file -DOUTPUT=file.cpp -DFUNCTION=name -DHEADER=header.h -P embed_text.cmake
# The text goes in raw string literals of a few thousand bytes each, below every
# compiler's limit for one literal; the input must be ASCII and hold no ")embed".
file(READ ${INPUT} text)
string(LENGTH "${text}" length)
get_filename_component(name ${INPUT} NAME)
set(code "// Made at build time from ${name}; edit that file instead.\n#include \"${HEADER}\"\n\nnamespace planner {\n\nstd::string ${FUNCTION}()\n{\n    std::string text;\n")
set(at 0)
while(at LESS length)
  string(SUBSTRING "${text}" ${at} 4000 piece)
  string(APPEND code "    text += R\"embed(${piece})embed\";\n")
  math(EXPR at "${at} + 4000")
endwhile()
string(APPEND code "    return text;\n}\n\n} // namespace planner\n")
file(WRITE ${OUTPUT}.new "${code}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
