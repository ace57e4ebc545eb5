# Lays out what a panel host's folder holds once the Microsoft-mode DLLs are
# deployed, with the MinGW build's hosts (panelhost.exe and the Microsoft-mode
# msvc_host.exe) as the programs that load them:
#   DEPLOYED: the three shipped DLLs, the UI folder and the two hosts;
#   MIXED:    the same hosts and framework DLLs, with the MinGW build's
#             quillon.dll, which the loader must refuse.
# Nothing of the MinGW build's framework DLLs is in either folder.
#   cmake -DSHIPPED=DIR -DHOSTS=DIR -DDEPLOYED=DIR -DMIXED=DIR -P prepare.cmake
foreach(program panelhost.exe msvc_host.exe quillon.dll)
    if(NOT EXISTS ${HOSTS}/${program})
        message(FATAL_ERROR "${HOSTS}/${program} is missing: the hosts come from the MinGW "
                            "build of the same architecture (windows or windows64 preset), "
                            "which must be built first")
    endif()
endforeach()
foreach(folder ${DEPLOYED} ${MIXED})
    file(REMOVE_RECURSE ${folder})
    file(MAKE_DIRECTORY ${folder})
    file(COPY ${HOSTS}/panelhost.exe ${HOSTS}/msvc_host.exe ${SHIPPED}/ui
              ${SHIPPED}/tarn_string.dll ${SHIPPED}/tarn_config.dll DESTINATION ${folder})
endforeach()
file(COPY ${SHIPPED}/quillon.dll DESTINATION ${DEPLOYED})
file(COPY ${HOSTS}/quillon.dll DESTINATION ${MIXED})
