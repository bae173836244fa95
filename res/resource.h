/* Identifiers of the resources in quellnet.rc, shared with the window code.
   Plain #defines only: the resource compiler reads this file too. */
#ifndef QUELLNET_RES_RESOURCE_H_
#define QUELLNET_RES_RESOURCE_H_

/* The program icon, 16 to 256 pixels; the lowest id, so Explorer shows it. */
#define IDI_QUELLNET 1
/* The pop-up menu `menutray`. */
#define IDR_MENUTRAY 102
/* Its items; the window code checks they match the menu ids it handles. */
#define IDM_MNUOPEN 200
#define IDM_MNUCLOSE 201

#endif
