-- Rows of the installer package that wixl 0.101 cannot write; scripts/package.sh
-- runs each statement (one a line) with msibuild on what wixl built from
-- quellnet.wxs. wixl rejects RemoveRegistryKey, ignores RemoveFolder's
-- Directory and RegistryKey's Action, and writes no custom action that runs
-- a program from the Binary table, so these rows are written directly.
--
-- Uninstall removes HKCU\Software\Quellnet with everything below it (the
-- options the program saved and the package's own value): a Registry row
-- named "-" without a value deletes its key when its component goes.
INSERT INTO Registry (Registry, Root, `Key`, Name, Component_) VALUES ('RemoveSettingsKey', 1, 'Software\Quellnet', '-', 'Program')
-- ... and %LOCALAPPDATA%\Programs when the package made it and it is empty
-- (the Quellnet folder itself has its RemoveFolder row from quellnet.wxs).
-- Wine 8 works through these rows before it deletes the files, so there the
-- folders are not yet empty; it removes the component's own folder later by
-- itself, and leaves an empty Programs folder behind.
INSERT INTO RemoveFile (FileKey, Component_, DirProperty, InstallMode) VALUES ('RemoveProgramsFolder', 'Program', 'LocalPrograms', 2)
-- Before anything changes, a running Quellnet is closed the normal way and
-- waited for (msi_helper close-program): its unload writes the options and
-- the run-at-logon value, which must happen before they are removed, and an
-- upgrade replaces files it uses. Type 2: a program from the Binary table,
-- run at once; its failure stops the installation while nothing has changed.
INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('CloseQuellnet', 2, 'MsiHelper', 'close-program [UILevel]')
INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('CloseQuellnet', 'REMOVE~="ALL" OR WIX_UPGRADE_DETECTED', 1390)
-- After the files are gone, the run-at-logon value "Quellnet" goes if it
-- starts the removed program (msi_helper forget-run-entry). Type 1090 = 2 +
-- 1024 (in the installation script, after RemoveFiles) + 64 (a value that
-- can't be removed is no reason to undo the uninstall). Another program's
-- value, or one of a Quellnet elsewhere, stays.
INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('ForgetRunEntry', 1090, 'MsiHelper', 'forget-run-entry "[INSTALLDIR]quellnet.exe"')
INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('ForgetRunEntry', 'REMOVE~="ALL"', 3510)
-- An upgrade installs the new version first and removes the old one after
-- it (wixl puts that removal before the installation). The component keeps
-- its Guid across versions, so the old version's removal leaves what the new
-- one still holds: the program file, and HKCU\Software\Quellnet with the
-- options. The run-at-logon value stays too, as its program file is still there.
UPDATE InstallExecuteSequence SET Sequence = 6650 WHERE Action = 'RemoveExistingProducts'
