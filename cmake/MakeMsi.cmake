# cmake -DBUILD_DIR=... -DOUTPUT=file.msi -P MakeMsi.cmake
#
# The installer of one Windows build: stages what the main package holds (the
# install's default component, binaries stripped) and turns it into an MSI
# with msitools' wixl-heat and wixl. Settings come from the build's
# msi/settings.cmake, written by cmake/Packaging.cmake.
cmake_minimum_required(VERSION 3.20)
include(${BUILD_DIR}/msi/settings.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/RunStep.cmake)

foreach(tool WIXL WIXL_HEAT)
  if(NOT ZEVDT_${tool})
    message(FATAL_ERROR "msitools' wixl and wixl-heat are needed (Debian: apt-get install wixl)")
  endif()
endforeach()
set(work ${BUILD_DIR}/msi)
set(stage ${work}/stage)
file(REMOVE_RECURSE ${stage})
run(install COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${stage} --component Unspecified)
file(GLOB_RECURSE files RELATIVE ${work} LIST_DIRECTORIES false ${stage}/*)
list(SORT files)
string(REPLACE ";" "\n" list "${files}")
file(WRITE ${work}/files.txt "${list}\n")
set(heat_options)
if(ZEVDT_MSI_BITS EQUAL 64)
  set(heat_options --win64)
endif()
run(heat COMMAND ${ZEVDT_WIXL_HEAT} -p stage/ --directory-ref INSTALLDIR --component-group Files
              --var var.Stage ${heat_options}
         INPUT_FILE ${work}/files.txt WORKING_DIRECTORY ${work})
# Folders that hold only folders (share, share/doc) belong to no component, and
# an uninstall leaves them behind unless a component removes them: one in each
# folder, without files, its key path the folder itself and its GUID made from
# the folder's id, so that it stays the same from build to build.
string(REGEX MATCHALL "<Directory Id=\"dir[0-9A-F]+\"[^>]*>" directories "${heat_out}")
set(references "<ComponentGroup Id=\"Files\">")
foreach(directory ${directories} "<DirectoryRef Id=\"INSTALLDIR\">")
  string(REGEX REPLACE "^<Directory(Ref)? Id=\"([A-Za-z0-9]+)\".*" "\\2" id "${directory}")
  string(UUID guid NAMESPACE 911D6E36-281C-4DE9-B63F-6D291D25FD89 NAME "${id}" TYPE SHA1 UPPER)
  string(REPLACE "${directory}" "${directory}
        <Component Win64=\"$(var.Win64)\" Id=\"rm${id}\" Guid=\"${guid}\">
          <CreateFolder/>
          <RemoveFolder Id=\"rm${id}\" On=\"uninstall\"/>
        </Component>" heat_out "${heat_out}")
  string(APPEND references "\n      <ComponentRef Id=\"rm${id}\"/>")
endforeach()
string(REPLACE "<ComponentGroup Id=\"Files\">" "${references}" heat_out "${heat_out}")
file(WRITE ${work}/files.wxs "${heat_out}")
if(ZEVDT_MSI_BITS EQUAL 64)
  set(arch x64)
  set(win64 yes)
else()
  set(arch x86)
  set(win64 no)
endif()
# wixl takes sources only relative to the folder it runs in.
run(wixl COMMAND ${ZEVDT_WIXL} -a ${arch} -D Stage=stage -D Win64=${win64} -o ${OUTPUT} zevdtu.wxs files.wxs
         WORKING_DIRECTORY ${work})
file(SIZE ${OUTPUT} size)
list(LENGTH files count)
message(STATUS "${OUTPUT}: ${size} bytes, ${count} files")
