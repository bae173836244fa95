-- Rows of the installer package that wixl 0.101 cannot write; scripts/package.sh
-- runs each statement (one a line, @VERSION@ replaced by the package's
-- version) with msibuild on what wixl built from quellnet.wxs. wixl rejects RemoveRegistryKey, ignores RemoveFolder's
-- Directory and RegistryKey's Action, writes no custom action that runs a
-- program from the Binary table or sets a property, and has no same-version
-- upgrade, so these rows are written directly.
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
-- the run-at-logon value, which must happen before they are removed. Type 2:
-- a program from the Binary table, run at once; its failure stops the
-- uninstall while nothing has changed.
INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('CloseQuellnet', 2, 'MsiHelper', 'close-program [UILevel]')
INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('CloseQuellnet', 'REMOVE~="ALL"', 1390)
-- Then the run-at-logon value "Quellnet" goes if it starts the installed
-- program (msi_helper forget-run-entry), while that file is still there to
-- be recognised by whatever name the value gives it. Type 66 = 2 + 64: a
-- value that can't be removed is no reason to stop the uninstall. Another
-- program's value, or one of a Quellnet elsewhere, stays.
INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('ForgetRunEntry', 66, 'MsiHelper', 'forget-run-entry "[INSTALLDIR]quellnet.exe"')
INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('ForgetRunEntry', 'REMOVE~="ALL"', 1450)
-- An upgrade replaces any installed Quellnet of the same or an older
-- version, of either architecture: the Upgrade row that finds it includes
-- its own version (Attributes 513 = 1, migrate features, + 512, the highest
-- version included; the row is replaced, as its Attributes is part of its
-- key). Installing the other architecture, or a rebuild of the same
-- version, thus leaves one product. An older version is still refused
-- (wixl's WIX_DOWNGRADE_DETECTED row and launch condition).
DELETE FROM Upgrade WHERE ActionProperty = 'WIX_UPGRADE_DETECTED'
INSERT INTO Upgrade (UpgradeCode, VersionMax, Attributes, ActionProperty) VALUES ('{B92024AD-12A1-4E35-9F87-EFCBC3A6FC66}', '@VERSION@', 513, 'WIX_UPGRADE_DETECTED')
-- The installed version is removed first, in the same transaction (after
-- InstallInitialize), then the new one is installed: the two architectures
-- put different program files (different components) at the same place, and
-- removing the old after the new would delete the new files. Its removal
-- deletes the options and the run-at-logon value as any uninstall does, so
-- msi_helper prepare-upgrade closes the running Quellnet (which saves them)
-- and keeps a copy, and finish-upgrade, after the installation, puts them
-- back and starts Quellnet again if it ran, hidden in the tray if it was.
-- A fresh installation and an uninstall start nothing.
UPDATE InstallExecuteSequence SET Sequence = 1501 WHERE Action = 'RemoveExistingProducts'
INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('PrepareUpgrade', 2, 'MsiHelper', 'prepare-upgrade [UILevel]')
INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('PrepareUpgrade', 'WIX_UPGRADE_DETECTED AND NOT Installed', 1390)
INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('FinishUpgrade', 66, 'MsiHelper', 'finish-upgrade "[INSTALLDIR]quellnet.exe"')
INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('FinishUpgrade', 'WIX_UPGRADE_DETECTED AND NOT Installed', 6610)
-- Programs and Features names the folder the program is in (type 51 sets a
-- property, once the folders are known).
INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('SetInstallLocation', 51, 'ARPINSTALLLOCATION', '[INSTALLDIR]')
INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('SetInstallLocation', 1010)
