-- Rows of the installer package that wixl 0.101 cannot write; scripts/package.sh
-- runs each statement (one a line, @VERSION@ replaced by the package's
-- version) with msibuild on what wixl built from quellnet.wxs. wixl rejects RemoveRegistryKey, ignores RemoveFolder's
-- Directory and RegistryKey's Action, writes no custom action that runs a
-- program from the Binary table or sets a property, and has no same-version
-- upgrade, so these rows are written directly. Every action has a sequence
-- number of its own (ICE82); tests/package/msi_test.sh checks.
--
-- Per user only. Installed per machine (ALLUSERS=1, or 2 as an
-- administrator) or as SYSTEM (S-1-5-18, as device-targeted deployment
-- tools and computer-assigned group policy run), it would land in SYSTEM's
-- or the administrator's profile and registry, not the user's: the package
-- refuses, with this text (in its log under /qn, where the exit code is
-- 1603). An installed product can always be removed.
INSERT INTO LaunchCondition (Condition, Description) VALUES ('Installed OR (NOT ALLUSERS AND UserSID <> "S-1-5-18")', 'Quellnet is installed for one user only, into the user profile. Install it as that user, without ALLUSERS: not per machine and not as SYSTEM.')
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
-- uninstall while nothing has changed, and what it closed runs again.
INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('CloseQuellnet', 2, 'MsiHelper', 'close-program [UILevel] "[INSTALLDIR]quellnet.exe"')
INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('CloseQuellnet', 'REMOVE~="ALL"', 1390)
-- Then, when the product is really going and not only replaced by an
-- upgrade, the run-at-logon value "Quellnet" goes if it starts the
-- installed program (msi_helper forget-user-entries), while that file is
-- still there to be recognised by whatever name the value gives it, and so
-- does any upgrade's stash. An upgrade keeps the value: should the new
-- version then fail to install, Windows puts the old one back, and it still
-- starts at logon. Type 66 = 2 + 64: a value that can't be removed is no
-- reason to stop the uninstall. Another program's value, or one of a
-- Quellnet elsewhere, stays.
INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('ForgetUserEntries', 66, 'MsiHelper', 'forget-user-entries "[INSTALLDIR]quellnet.exe"')
INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('ForgetUserEntries', 'REMOVE~="ALL" AND NOT UPGRADINGPRODUCTCODE', 1450)
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
-- deletes the options (and, by packages before this one, the run-at-logon
-- value) as any uninstall does, so msi_helper prepare-upgrade closes the
-- running Quellnet (which saves them) and stashes them with where and how
-- it ran; when that fails, it starts what it closed again and the upgrade
-- stops before anything changed. finish-upgrade, after the installation,
-- puts them back and starts that Quellnet again, from where it ran (a
-- portable copy stays portable), hidden in the tray if it was. It also runs
-- when the upgrade fails (-3, after Windows has rolled back) or is
-- cancelled (-2), in the execute sequence and in the user-interface one,
-- whichever ends the installation; without a stash it does nothing. A
-- fresh installation and an uninstall start nothing.
UPDATE InstallExecuteSequence SET Sequence = 1501 WHERE Action = 'RemoveExistingProducts'
INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('PrepareUpgrade', 2, 'MsiHelper', 'prepare-upgrade [UILevel] "[INSTALLDIR]quellnet.exe"')
INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('PrepareUpgrade', 'WIX_UPGRADE_DETECTED AND NOT Installed', 1395)
INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('FinishUpgrade', 66, 'MsiHelper', 'finish-upgrade "[INSTALLDIR]quellnet.exe"')
INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('FinishUpgrade', 'WIX_UPGRADE_DETECTED AND NOT Installed', 6610)
INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('FinishFailedUpgrade', 66, 'MsiHelper', 'finish-upgrade "[INSTALLDIR]quellnet.exe"')
INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('FinishFailedUpgrade', 'WIX_UPGRADE_DETECTED AND NOT Installed', -3)
INSERT INTO InstallUISequence (Action, Condition, Sequence) VALUES ('FinishFailedUpgrade', 'WIX_UPGRADE_DETECTED AND NOT Installed', -3)
INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('FinishCancelledUpgrade', 66, 'MsiHelper', 'finish-upgrade "[INSTALLDIR]quellnet.exe"')
INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('FinishCancelledUpgrade', 'WIX_UPGRADE_DETECTED AND NOT Installed', -2)
INSERT INTO InstallUISequence (Action, Condition, Sequence) VALUES ('FinishCancelledUpgrade', 'WIX_UPGRADE_DETECTED AND NOT Installed', -2)
-- Programs and Features names the folder the program is in (type 51 sets a
-- property, once the folders are known).
INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('SetInstallLocation', 51, 'ARPINSTALLLOCATION', '[INSTALLDIR]')
INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('SetInstallLocation', 1010)
