# The release is the project's version everywhere: NEWS.md's newest heading,
# the Debian changelog and the AppStream releases name it, and the changelog
# and AppStream carry the same releases with the same dates; NEWS.md's date,
# once it has one, is theirs.
# Usage: cmake -DVERSION=X.Y.Z -DSOURCE=DIR -P versionAgrees.cmake
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)

# "kavrin (VERSION) …" opens an entry, " -- NAME <MAIL>  Tue, 08 Dec 2026 …"
# closes it: each becomes "VERSION YYYY-MM-DD".
file(STRINGS ${SOURCE}/debian/changelog lines REGEX "^(kavrin \\(| -- )")
set(changelog)
foreach(line IN LISTS lines)
  if(line MATCHES "^kavrin \\(([^)]*)\\) ")
    set(version ${CMAKE_MATCH_1})
  elseif(line MATCHES "^ -- .*  [A-Z][a-z][a-z], ([0-9]?[0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    set(year ${CMAKE_MATCH_3})
    list(FIND months ${CMAKE_MATCH_2} month)
    math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
    math(EXPR day "${CMAKE_MATCH_1} + 0")
    string(REGEX REPLACE "^([0-9])$" "0\\1" month ${month})
    string(REGEX REPLACE "^([0-9])$" "0\\1" day ${day})
    list(APPEND changelog "${version} ${year}-${month}-${day}")
  endif()
endforeach()

file(READ ${SOURCE}/resources/com.example.Kavrin.metainfo.xml metainfo)
string(REGEX MATCHALL "<release version=\"[^\"]*\" date=\"[^\"]*\"" tags "${metainfo}")
set(appstream)
foreach(tag IN LISTS tags)
  string(REGEX REPLACE "<release version=\"([^\"]*)\" date=\"([^\"]*)\"" "\\1 \\2" release "${tag}")
  list(APPEND appstream "${release}")
endforeach()

list(GET changelog 0 newest)
if(NOT newest MATCHES "^${VERSION} ")
  message(FATAL_ERROR "debian/changelog's newest entry is '${newest}', the project is ${VERSION}")
endif()
if(NOT changelog STREQUAL appstream)
  message(FATAL_ERROR "debian/changelog has the releases '${changelog}', AppStream '${appstream}'")
endif()

file(STRINGS ${SOURCE}/NEWS.md headings REGEX "^## ")
list(GET headings 0 heading)
string(REGEX REPLACE "^[^ ]+ " "" newestDate "${newest}")
if(NOT heading MATCHES "^## ${VERSION} \\((unreleased|${newestDate})\\)$")
  message(FATAL_ERROR "NEWS.md's newest heading is '${heading}', the release is ${VERSION} of ${newestDate}")
endif()
