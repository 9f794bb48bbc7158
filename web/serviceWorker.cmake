# Writes the service worker with each file's SHA-256 and a cache name made
# from all of them: -DSITE=folder -DIN=serviceWorker.js.in
# -DOUT=serviceWorker.js -DFILES=a;b;c
set(kavrin_all "")
set(kavrin_list "")
foreach(file ${FILES})
  file(SHA256 ${SITE}/${file} hash)
  string(APPEND kavrin_all ${hash})
  if(kavrin_list)
    string(APPEND kavrin_list ", ")
  endif()
  string(APPEND kavrin_list "\"./${file}\": \"${hash}\"")
endforeach()
string(SHA256 kavrin_hash "${kavrin_all}")
string(SUBSTRING ${kavrin_hash} 0 16 KAVRIN_SITE_HASH)
set(KAVRIN_SITE_FILES "{${kavrin_list}}")
configure_file(${IN} ${OUT} @ONLY)
