# The release notes live in `changelog` at the top of the source tree, in Debian's changelog
# format, newest entry first. The package ships the file itself as changelog.gz; this reads its
# newest entry for the AppStream release and the manual page's date:
#
#   HALTWICK_RELEASE_VERSION  the entry's version, e.g. 1.0.0
#   HALTWICK_RELEASE_DATE     its date as YYYY-MM-DD
#   HALTWICK_RELEASE_NOTES    its items (`  * ` lines, continued by lines indented four spaces)
#                             as XML <li> elements, one a line

set(HALTWICK_CHANGELOG ${CMAKE_SOURCE_DIR}/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${HALTWICK_CHANGELOG})
file(READ ${HALTWICK_CHANGELOG} haltwick_changelog)

# The newest entry: "haltwick (VERSION) ..." up to its first " -- Name <address>  Date" line.
string(FIND "${haltwick_changelog}" "\n -- " haltwick_trailer_at)
if(NOT haltwick_changelog MATCHES "^haltwick \\(([^)]+)\\)[^\n]*\n" OR haltwick_trailer_at EQUAL -1)
  message(FATAL_ERROR "${HALTWICK_CHANGELOG}: the newest entry lacks its "
                      "`haltwick (VERSION) ...` line or its ` -- Name <address>  Date` line")
endif()
set(HALTWICK_RELEASE_VERSION ${CMAKE_MATCH_1})
string(LENGTH "${CMAKE_MATCH_0}" haltwick_items_at)
math(EXPR haltwick_items_length "${haltwick_trailer_at} - ${haltwick_items_at}")
string(SUBSTRING "${haltwick_changelog}" ${haltwick_items_at} ${haltwick_items_length}
       haltwick_items)
string(SUBSTRING "${haltwick_changelog}" ${haltwick_trailer_at} -1 haltwick_trailer)

# RFC 2822 date, e.g. "Tue, 08 Dec 2026 12:00:00 +0000".
set(haltwick_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
if(NOT haltwick_trailer MATCHES "^\n -- [^\n]*>  [A-Z][a-z][a-z], ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "${HALTWICK_CHANGELOG}: the newest entry's date is not like "
                      "`Tue, 08 Dec 2026 12:00:00 +0000`")
endif()
set(haltwick_day ${CMAKE_MATCH_1})
set(haltwick_year ${CMAKE_MATCH_3})
list(FIND haltwick_months ${CMAKE_MATCH_2} haltwick_month)
if(haltwick_month EQUAL -1)
  message(FATAL_ERROR "${HALTWICK_CHANGELOG}: no month is called ${CMAKE_MATCH_2}")
endif()
math(EXPR haltwick_month "${haltwick_month} + 1")
string(REGEX REPLACE "^([0-9])$" "0\\1" haltwick_month ${haltwick_month})
string(REGEX REPLACE "^([0-9])$" "0\\1" haltwick_day ${haltwick_day})
set(HALTWICK_RELEASE_DATE ${haltwick_year}-${haltwick_month}-${haltwick_day})

# Items as XML: continuation lines joined to their item, the text escaped, one <li> per item.
string(REGEX REPLACE "\n    +" " " haltwick_items "${haltwick_items}")
string(REPLACE "&" "&amp;" haltwick_items "${haltwick_items}")
string(REPLACE "<" "&lt;" haltwick_items "${haltwick_items}")
string(REPLACE ">" "&gt;" haltwick_items "${haltwick_items}")
string(REGEX REPLACE "(^|\n)  \\* ([^\n]*)" "\\1<li>\\2</li>" haltwick_items
       "${haltwick_items}")
string(REGEX REPLACE "\n\n+" "\n" haltwick_items "${haltwick_items}")
string(STRIP "${haltwick_items}" HALTWICK_RELEASE_NOTES)

if(NOT HALTWICK_RELEASE_VERSION STREQUAL PROJECT_VERSION)
  message(WARNING "${HALTWICK_CHANGELOG}: the newest entry is for version "
                  "${HALTWICK_RELEASE_VERSION}, but the project is version ${PROJECT_VERSION}")
endif()
