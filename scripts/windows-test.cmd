@echo off
rem Runs the whole test suite of quellnet.exe on Windows itself: the unit
rem tests and every end-to-end and contract program, natively, against the
rem quellnet.exe built for the same architecture. Runs under Wine's cmd too.
rem
rem   scripts\windows-test.cmd --disposable-machine PROGRAM_DIR TESTS_DIR
rem
rem PROGRAM_DIR  the program's folder (quellnet.exe, green.gif, red.gif); it
rem              is copied to C:\Quellnet, where the tests start it
rem TESTS_DIR    the test programs (the bin folder of a windows-tests preset:
rem              quellnet_unit_tests.exe, the *_test.exe programs, the
rem              driver, and the unit tests' data folder)
rem
rem Each program's output is shown as it ends. The last lines list every case
rem that was skipped, with its reason, the programs that failed, and the
rem count of cases: "N passed, N failed, N skipped". A program that ends
rem without its own count (it crashed or ran out of time) counts as one
rem failed case. The exit code is 0 only when nothing failed.
rem
rem GoogleTest's own environment variables (GTEST_FILTER, GTEST_TOTAL_SHARDS
rem with GTEST_SHARD_INDEX, ...) reach every test program, for a shorter run.
setlocal EnableExtensions EnableDelayedExpansion

if /i not "%~1"=="--disposable-machine" goto refuse
if "%~3"=="" goto usage
set "program_dir=%~f2"
set "tests_dir=%~f3"
if not exist "%program_dir%\quellnet.exe" (
  echo error: no quellnet.exe in %program_dir%
  exit /b 2
)
if not exist "%tests_dir%\quellnet_unit_tests.exe" (
  echo error: no quellnet_unit_tests.exe in %tests_dir%
  exit /b 2
)

rem The program where the tests look for it, replacing an older copy.
if /i not "%program_dir%"=="C:\Quellnet" (
  if exist C:\Quellnet rd /s /q C:\Quellnet
  mkdir C:\Quellnet
  copy /y "%program_dir%\*" C:\Quellnet\ >nul
)
if not exist C:\Quellnet\quellnet.exe (
  echo error: could not copy the program to C:\Quellnet
  exit /b 2
)

set "logs=%TEMP%\quellnet-tests"
if exist "%logs%" rd /s /q "%logs%"
mkdir "%logs%"
set /a passed=0, failed=0, skipped=0
set "failed_programs="
type nul >"%logs%\skipped.txt"

rem From the tests' folder: the unit tests read their tables from "data".
pushd "%tests_dir%"
for %%t in (quellnet_unit_tests.exe *_test.exe) do call :run %%~nt
popd

echo.
echo ==^> skipped cases, with their reasons:
type "%logs%\skipped.txt"
if defined failed_programs echo ==^> failed programs:%failed_programs%
echo %passed% passed, %failed% failed, %skipped% skipped
if %failed% gtr 0 exit /b 1
exit /b 0

rem ---- runs one test program (its name, without .exe) and adds up its counts
:run
set "name=%~1"
set "log=%logs%\%name%.log"
rem Each program starts without the scratch folders an earlier one left.
for %%d in (C:\CleanerTests C:\ContractTests) do if exist %%d rd /s /q %%d
echo.
echo ==^> %name%
"%tests_dir%\%name%.exe" --gtest_color=no >"%log%" 2>&1
set "status=%errorlevel%"
type "%log%"
set /a failed_before=failed
rem One pass over the output, word by word; the words are compared after
rem expansion, so that no text of a test is ever parsed as a command.
rem  - GoogleTest's counts, "[  PASSED  ] 5 tests." and, for failed and
rem    skipped cases, "[  FAILED  ] 1 test, listed below:";
rem  - a skipped case: "FILE(LINE): Skipped", its reason on the next line,
rem    then "[  SKIPPED ] Suite.Case (N ms)".
set "reason="
set "after_skip="
rem Wine's cmd mistakes a closing parenthesis even inside quotes for the end
rem of a block, and an IF block after another IF inside a block for wrong:
rem each line is judged in a subroutine, one IF a line.
set "ms_end=ms)"
for /f "usebackq tokens=1-5*" %%a in ("%log%") do (
  set "word=%%a%%b%%c"
  set "second=%%b"
  set "third=%%c"
  set "count=%%d"
  set "unit=%%e"
  set "last=%%f"
  set "words=%%a %%b %%c %%d %%e %%f"
  call :read_line
)
if not "%status%"=="0" (
  set "failed_programs=%failed_programs% %name%"
  if !failed!==!failed_before! set /a failed+=1
)
exit /b 0

:read_line
if defined after_skip set "reason=!words!"
set "after_skip="
if "!second!!third!"=="Skipped" set "after_skip=1"
set "counted="
if "!unit!"=="test." set "counted=1"
if "!unit!"=="tests." set "counted=1"
if "!unit!"=="test," set "counted=1"
if "!unit!"=="tests," set "counted=1"
if defined counted if "!word!"=="[PASSED]" set /a passed+=count
if defined counted if "!word!"=="[FAILED]" set /a failed+=count
if defined counted if "!word!"=="[SKIPPED]" set /a skipped+=count
if "!word!!last!"=="[SKIPPED]!ms_end!" echo   !name! !count!: !reason!>>"%logs%\skipped.txt"
exit /b 0

:usage
echo usage: %~nx0 --disposable-machine PROGRAM_DIR TESTS_DIR
exit /b 2

:refuse
echo This runs the whole test suite of Quellnet on this machine, and only on a
echo machine that is thrown away afterwards (a virtual machine, a hosted CI runner):
echo  - it changes this user's shell-folder values (where the browser's cache
echo    and cookies are) and has the program's cleaners delete folders;
echo  - it installs, starts, stops and removes a stand-in "Messenger" service,
echo    which needs administrator rights;
echo  - it changes the screen's colours and DPI setting, the run-at-logon value
echo    and the program's options, and replaces C:\Quellnet.
echo If this machine is disposable, say so:
echo   %~nx0 --disposable-machine PROGRAM_DIR TESTS_DIR
exit /b 2
