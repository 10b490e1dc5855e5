#pragma once

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <functional>
#include <memory>
#include <string>

#include "platform/storage/linux/dbus_wait.h"
#include "platform/storage/linux/drive_access.h"

class QObject;

namespace platform::storage {

// The privileged steps done by udisks2 over the system bus, with polkit deciding: for a process
// that may not open disks, or not mount and unmount, itself. Calls that may put up the desktop's
// password prompt are waited for without a bound, the others at most kAnswerBoundMs; while they
// wait the caller's windows answer, and a Stop gives up the steps before anything is written.
// Needs an application object on the calling thread for answers that come after a Stop. Nothing
// here runs as root.
class UdisksDriveAccess : public DriveAccess {
  public:
    // answerBoundMs bounds the calls that cannot prompt.
    explicit UdisksDriveAccess(int answerBoundMs = kAnswerBoundMs);
    ~UdisksDriveAccess() override;

    // Asks polkit for udisks2's open-device action, or open-device-system when udisks2 marks
    // the disk HintSystem; a "yes" or a "yes after a password" count.
    StepResult MayWrite(const BlockDeviceInfo& disk) override;

    // Only what this user can see: another mount beneath it, or this user's own processes
    // using the volume (MountUsage). Other users' and root's processes are invisible, so a
    // success here can still end in a busy Unmount.
    StepResult CanUnmount(const MountEntry& mount) override;

    // Filesystem.Unmount without "force" (which would be lazy). udisks2 unmounts the volume
    // at the first of its mount points. Needs filesystem-unmount-others unless this user
    // mounted the volume through udisks2. Given up on a Stop; an unmount that still happens
    // after that is mounted again.
    StepResult Unmount(const MountEntry& mount) override;

    // Filesystem.Mount, read-only when the old mount was. udisks2 chooses the place
    // (/media/<user>/<label>, or the volume's fstab entry), which differs from the old one when
    // the old mount was not made by udisks2; its default options (nosuid, nodev) apply.
    StepResult Remount(const MountEntry& mount) override;

    // Block.OpenDevice("rw", "w" or "r" from the access mode; the other flags passed on) with
    // the password prompt allowed; the descriptor is a duplicate of the one udisks2 sent. Given
    // up on a Stop; a descriptor that still arrives after that is closed at once.
    StepResult Open(const BlockDeviceInfo& disk, int flags, UniqueFd* fd) override;

    // Block.Rescan. udisks2 answers success even when the kernel refused to re-read the table; a
    // caller that must know checks sysfs.
    StepResult RereadPartitions(const BlockDeviceInfo& disk) override;

  private:
    // Runs then(reply) when the answer of a call given up on a Stop comes.
    void WhenAnswered(const QDBusPendingCall& call, std::function<void(const QDBusMessage&)> then);

    int answerBoundMs_;
    // Owns the watchers of calls given up on a Stop until their answers come.
    std::unique_ptr<QObject> leftoverOwner_;
};

}  // namespace platform::storage
