cmake_policy(VERSION 3.25)
# The user guide maker on small READMEs: each row a piece of Markdown, as the
# README writes it, and the HTML the guide must hold for it; then the READMEs
# it must refuse, so that a renamed section or a lost picture stops the build.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/docs)
file(WRITE ${WORK}/docs/shot.png "")

# Makes the guide of a README with a Japanese and an English guide section.
function(make_guide preamble japanese english status_var html_var)
  file(WRITE ${WORK}/README.md "# T\n\n${preamble}\n## 使い方\n\n${japanese}\n## Guide\n\n${english}\n## Other\n\nleft out\n")
  execute_process(COMMAND ${PYTHON} ${TOOL} ${WORK}/README.md ${WORK}/guide.html "使い方=ja" "Guide=en"
    RESULT_VARIABLE status ERROR_VARIABLE errors)
  set(html "")
  if(EXISTS ${WORK}/guide.html)
    file(READ ${WORK}/guide.html html)
    file(REMOVE ${WORK}/guide.html)
  endif()
  set(${status_var} "${status}" PARENT_SCOPE)
  set(${html_var} "${html}${errors}" PARENT_SCOPE)
endfunction()

# name | Japanese section | English section | HTML the guide holds; @ stands
# for a semicolon, which would split a CMake list.
set(rows
  "wrapped Japanese joins without a space|段落の\n  続き|x|<p>段落の続き</p>"
  "wrapped English joins with one|x|one\ntwo|<p>one two</p>"
  "a list item runs on over an indented line|- 項目\n  続き|x|<li>項目続き</li>"
  "a list inside a list item|- outer:\n  - inner one\n    runs on\n  - inner two\n- next|x|<li>outer:\n<ul>\n<li>inner one runs on</li>\n<li>inner two</li>\n</ul></li>\n<li>next</li>"
  "numbered items|1. first\n2. second|x|<ol>\n<li>first</li>\n<li>second</li>\n</ol>"
  "code is escaped, markup in text too|`<!-- 名前 -->` & <b>|x|<p><code>&lt@!-- 名前 --&gt@</code> &amp@ &lt@b&gt@</p>"
  "a fenced block keeps its lines|```sh\na < b\n  c\n```|x|<pre><code>a &lt@ b\n  c</code></pre>"
  "headings keep their level|### 小見出し|#### Deeper|<h3>小見出し</h3>"
  "each section in its language|x|y|<section id=\"en\" lang=\"en\">"
  "a section that follows is left out|x|y|</section>\n</body>")
foreach(row IN LISTS rows)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 name)
  list(GET fields 1 japanese)
  list(GET fields 2 english)
  list(GET fields 3 expected)
  string(REPLACE "@" ";" expected "${expected}")
  make_guide("" "${japanese}" "${english}" status html)
  string(FIND "${html}" "${expected}" at)
  if(NOT status EQUAL 0 OR at EQUAL -1)
    message(FATAL_ERROR "${name}: the guide lacks\n${expected}\n--- it holds:\n${html}")
  endif()
  string(FIND "${html}" "left out" leak)
  if(NOT leak EQUAL -1)
    message(FATAL_ERROR "${name}: a section not asked for is in the guide")
  endif()
endforeach()

# The README's pictures before the guide sections become figures, paths as written.
make_guide("![A shot](docs/shot.png)\n" "x" "y" status html)
string(FIND "${html}" "<figure><img src=\"docs/shot.png\" alt=\"A shot\"><figcaption>A shot</figcaption></figure>" at)
if(NOT status EQUAL 0 OR at EQUAL -1)
  message(FATAL_ERROR "the README's picture is not in the guide:\n${html}")
endif()

# Refused: a picture that is not there, a guide section that is not there.
make_guide("![Lost](docs/lost.png)\n" "x" "y" status html)
if(status EQUAL 0 OR NOT html MATCHES "docs/lost.png")
  message(FATAL_ERROR "a lost picture was not refused: ${status} ${html}")
endif()
file(WRITE ${WORK}/README.md "# T\n\n## 使い方\n\nx\n")
execute_process(COMMAND ${PYTHON} ${TOOL} ${WORK}/README.md ${WORK}/guide.html "使い方=ja" "Guide=en"
  RESULT_VARIABLE status ERROR_VARIABLE errors)
if(status EQUAL 0 OR NOT errors MATCHES "Guide")
  message(FATAL_ERROR "a missing section was not refused: ${status} ${errors}")
endif()
